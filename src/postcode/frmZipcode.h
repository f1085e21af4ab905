#pragma once
#include "PostcodeConnection.h"
#include "Recordset.h"
#include <QDialog>

class CaptionPanel;
class QLabel;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class Spread;

// Finds postal codes by town or by code in the postal-code database and hands the chosen
// code and address back. Creating it opens the database; InitForm says whether the caller
// need show it at all.
class frmZipcode : public QDialog {
    Q_OBJECT
public:
    explicit frmZipcode(QWidget *parent = nullptr, const QString &databaseFile = PostcodeConnection::defaultFile());
    ~frmZipcode() override;

    // 1: exactly one entry matched and was chosen; 2: show the window (several matched or the
    // text is empty); 0: nothing matched, the single match could not be read, or there is no
    // database.
    int InitForm(const QString &text);
    QString Post() const { return m_post; }
    QString Addr() const { return m_addr; }
    // Searches for txtInput's text and fills the grid; the number of rows, -1 after a failure box.
    int RefreshSheet();
    // Downloads url into localPath with a progress dialog that can be cancelled.
    bool DownloadFile(const QString &url, const QString &localPath);

    // Without a database file the window closes as soon as it is shown.
    int exec() override;
    bool hasConnection() const { return m_db.isOpen(); }
    // The last failed download's reason.
    QString downloadError() const { return m_downloadError; }
    // How long a silent server is waited for (tests shorten it).
    void setDownloadTimeout(int ms) { m_downloadTimeoutMs = ms; }

    CaptionPanel *pnlLabel = nullptr;
    QLineEdit *txtInput = nullptr;
    QLabel *Label1 = nullptr;
    Spread *spList = nullptr;
    QPushButton *btnSel = nullptr;
    QPushButton *btnClose = nullptr;
    QPushButton *btnDBUpdate = nullptr;
    // Shown while DownloadFile runs.
    QProgressDialog *progress() const { return m_progress; }

public Q_SLOTS:
    void btnSel_Click();
    void btnDBUpdate_Click();
    // Enter in txtInput, F5.
    void SearchFromWindow();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    bool event(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void done(int r) override;

private:
    void setUpGrid();
    void openDatabase();
    // Chooses row r of the grid; false when it holds no code.
    bool chooseRow(int row);
    void chooseAndClose(int row);
    void focusOnActivate();

    QString m_file;
    PostcodeConnection m_db;
    bool m_missing = false;
    Recordset m_rs;
    QString m_post;
    QString m_addr;
    QString m_downloadError;
    int m_downloadTimeoutMs = 30000;
    QProgressDialog *m_progress = nullptr;
};
