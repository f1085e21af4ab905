#pragma once
#include "LoginAttempts.h"
#include <QWidget>

class QLineEdit;
class QCheckBox;
class QPushButton;

// The first window: ID and password checked against local_user, three attempts.
class FrmLogin : public QWidget {
    Q_OBJECT
public:
    explicit FrmLogin(QWidget *parent = nullptr);

    QLineEdit *txtUser = nullptr;
    QLineEdit *txtPass = nullptr;
    QCheckBox *chkSavePwd = nullptr;
    QPushButton *btnLogin = nullptr;

    int attempts() const { return m_attempts.refused(); }
    bool succeeded() const { return m_succeeded; }
    // The third refusal ended the login: the program ends as a failed start.
    bool lockedOut() const { return m_attempts.refused() >= LoginAttempts::kLimit; }
    static QString hint() { return QStringLiteral("엔터를 치세요"); }
    // The cost of the password hashes a login derives (LoginPassword::kIterations).
    void setHashIterations(int iterations) { m_attempts.setHashIterations(iterations); }

    void DoLogin();

protected:
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

Q_SIGNALS:
    // The window unloads after a successful login (the intro message and main window follow)
    // or otherwise (the program ends).
    void loggedIn();
    void cancelled();

private:
    void Form_Load();
    void txtUser_Change();
    void txtPass_Change();
    void chkSavePwd_Click();
    bool CheckLogin(const QString &id, const QString &password);
    bool IsEmptyPassword(const QString &id);
    bool showsHint() const;
    QString typedPassword() const;
    void showHint(bool hint);
    // Leaves the hint for a masked field holding typed.
    void leaveHint(const QString &typed);

    LoginAttempts m_attempts;
    bool m_succeeded = false;
    bool m_idChanged = false;
    bool m_passTyped = false;
    bool m_unloaded = false;
    QString m_idOnFocus;
};
