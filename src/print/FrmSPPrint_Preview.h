#pragma once
#include "SheetStore.h"
#include <QDialog>
#include <QMap>

class QLabel;
class QToolButton;
class SheetPreview;
class Spread;
struct PrintRequest;

// The print preview of the request's grid: page stepping, the zoom switch, printing, page
// setup and the page counter; the dialogs it opens work on the same request. While it is
// open the first merged column of the grid breaks its merged cells at page boundaries
// (through a hidden page-number column).
class FrmSPPrint_Preview : public QDialog {
    Q_OBJECT
public:
    enum Column {
        ColNext = 2,
        ColPrevious = 4,
        ColZoom = 6,
        ColPrint = 8,
        ColSetup = 10,
        ColCounter = 14,
        ColClose = 16
    };

    explicit FrmSPPrint_Preview(PrintRequest &request, QWidget *parent = nullptr);
    ~FrmSPPrint_Preview() override;

    bool m_bPrintedOK = false;

    void SetupToolbar();
    void DisableButton(int column, int picture);
    void EnableButton(int column, int picture);
    void UpdatePageCount();
    // What runs each time the window becomes active.
    void Form_Activate();
    void ButtonClick(int column);

    SheetPreview *fpSpreadPreview1 = nullptr;
    QWidget *fpSpread1 = nullptr; // the toolbar strip
    QToolButton *button(int column) const { return m_buttons.value(column); }
    QLabel *pageCounter() const { return m_counter; }

protected:
    bool event(QEvent *e) override;
    void done(int result) override;

private:
    void relayout();
    void updateStepButtons();
    Spread *grid() const;
    void unload();
    void showZoom(int index);

    PrintRequest &m_request;
    QMap<int, QToolButton *> m_buttons;
    QMap<int, QString> m_tips; // Korean; the captions stay as they are
    QLabel *m_counter = nullptr;
    SheetStore::Merge m_savedMerge = SheetStore::Merge::None;
    bool m_unloaded = false;
};
