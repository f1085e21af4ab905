#pragma once
#include "HandsetColumns.h"
#include "HandsetSave.h"
#include <QDialog>
#include <QImage>
#include <QPointer>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class CaptionPanel;

// Adds a handset (mode 1) or changes one (mode 2); announces each saved record.
class fbMobil_Save : public QDialog {
    Q_OBJECT
public:
    explicit fbMobil_Save(QWidget *parent = nullptr);

    // Clears the fields and reads the check boxes, as each opening starts.
    void Form_Load();
    void SetFormMode(int mode, QWidget *caller, int iCode);
    // True when the record was saved.
    bool Save();
    void ChoosePicture();
    int mode() const { return m_mode; }
    // The picture shown, which a click enlarges; null when none.
    QImage picture() const { return m_picture; }
    // The window this opening was made for; its listeners tell their own openings apart by it.
    QWidget *caller() const { return m_caller; }

    int g_nCode = 0;
    std::array<QLineEdit *, 9> htField{};
    std::array<CaptionPanel *, 9> pnlLabel{};
    QCheckBox *chkAuto = nullptr;
    QCheckBox *chkCun = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnClose = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *btnPicture = nullptr;

Q_SIGNALS:
    // A record was saved: its code, the mode it was saved in and the fields as written.
    void saved(int code, int mode, const HandsetColumns::Fields &fields);

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void DispRec(int code);
    HandsetColumns::Fields fieldTexts() const;
    void clearFields();
    void chkAuto_Click();
    void chkCun_Click();
    void field0_LostFocus();
    void OpenLookup(int member);
    void showPicture(const QImage &img);
    void clearPicture();
    QString settingKey(const QString &suffix) const;
    QWidget *focusTarget() const;

    int m_mode = 1;
    QPointer<QWidget> m_caller;
    QString m_loadedId;              // the ID the changed record was read with
    HandsetColumns::Fields m_loaded; // the fields it was read with: a save changes only those
    // Another PC changed or deleted the record since it was read: the user decides, before
    // anything is written. The result of what was done instead (or r itself when nothing was).
    HandsetSave::Result resolveConflict(const HandsetSave::Result &r, const HandsetColumns::Fields &fields,
                                        const HandsetSave::PictureChange &picture);
    QImage m_picture;       // shown, and enlarged on a click
    QImage m_chosen;        // picked in this window, stored with the next save
    QImage m_loadedPicture; // the picture as read with the record: another PC's change shows against it
    QString m_pictureFolder;
};
