#pragma once
#include "HandsetColumns.h"
#include "HandsetSql.h"
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class CatalogueWatch;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class Spread;
class cFpPreview;
class fbMobil_Save;

// The handset list: search t_mobile, add, change, delete, enlarge pictures, print, export.
class fbMobil_Admin : public QWidget {
    Q_OBJECT
public:
    explicit fbMobil_Admin(QWidget *parent = nullptr);
    ~fbMobil_Admin() override;
    // How often the list looks for other PCs' changes (2 s); a test looks more often.
    void setWatchInterval(int ms);

    void QueryList();
    void RecDelete();
    void RecAdd();
    void RecEdit();
    void PrintList();
    void ExportList();
    // The same as an .xlsx workbook (Shift+F8; the tool bar has no room for a button more).
    void ExportListXlsx();
    // Opens "핸드폰 자료 가져오기" over the list, which is searched again after an import.
    void ImportList();
    // After a save in the entry window: mode 1 appends a row, otherwise refills the active row.
    void SyncUpdateMobil(int code, int eUpdateMode, const HandsetColumns::Fields &fields);
    // Code in the hidden column of row (-2 the active row), 0 when there are no rows.
    int GetSelectedCode(int row) const;
    void OpenLookup(int member);
    void ShowPicture(int col, int row);

    Spread *spList = nullptr;
    std::array<QLineEdit *, 9> htField{}; // members 1 to 8
    QPushButton *btnQuery = nullptr, *btnRecAdd = nullptr, *btnRecEdit = nullptr, *btnRecDel = nullptr,
                *btnPrint = nullptr, *btnExcel = nullptr, *btnImport = nullptr, *btnClose = nullptr;
    QLabel *lblChanged = nullptr; // another PC changed the catalogue since the last search
    fbMobil_Save *entryWindow() const { return m_entry; }
    // The list's print object: its last request is what the list last printed.
    const cFpPreview &printJob() const { return *m_print; }

Q_SIGNALS:
    // The list has looked for other PCs' changes: a look of the watch interval, or the one on
    // coming forward.
    void lookedForChanges();

protected:
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void hideEvent(QHideEvent *e) override;
    bool event(QEvent *e) override;

private:
    // The entry fields the grid shows of row (-2: the active one), as (column, text).
    HandsetSql::ColumnTexts shownTexts(int row) const;
    void designGrid();
    void showCount();
    bool isFrontWindow() const;
    void followCatalogue();
    void lookForChanges();
    QRect m_loadedGeometry;
    bool m_layoutLoaded = false;
    fbMobil_Save *m_entry = nullptr;
    std::unique_ptr<CatalogueWatch> m_watch;
    std::unique_ptr<cFpPreview> m_print;
    QTimer *m_watchTimer = nullptr;
};
