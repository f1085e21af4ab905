#include "FrmLogin.h"
#include "AppPaths.h"
#include "AppState.h"
#include "ErrorBox.h"
#include "LoginPassword.h"
#include "Messages.h"
#include "Settings.h"
#include "UpperCaseValidator.h"
#include "WindowFit.h"
#include "mdlCommonKV.h"
#include "modFrmCtrl.h"
#include "modMDB_Func.h"
#include "modMain.h"
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

using namespace modMDB_Func;

namespace {
const QString kConfig = QStringLiteral("Config");

QString config(const QString &key, const QString &def = {}) {
    return Settings::GetSetting(AppState::title(), kConfig, key, def);
}
void setConfig(const QString &key, const QString &value) {
    Settings::SaveSetting(AppState::title(), kConfig, key, value);
}

} // namespace

FrmLogin::FrmLogin(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmLogin"));
    setWindowTitle(QStringLiteral("로그인"));
    QFont gulim(QStringLiteral("Gulim"));
    gulim.setPointSize(11);

    txtUser = new QLineEdit(this);
    txtUser->setObjectName(QStringLiteral("txtUser"));
    txtUser->setFont(gulim);
    txtUser->setValidator(new UpperCaseValidator(txtUser));
    txtPass = new QLineEdit(this);
    txtPass->setObjectName(QStringLiteral("txtPass"));
    txtPass->setFont(gulim);
    txtPass->setEchoMode(QLineEdit::Password);
    txtPass->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // '*', not the style's dot
    chkSavePwd = new QCheckBox(QStringLiteral("저장"), this);
    chkSavePwd->setObjectName(QStringLiteral("chkSavePwd"));
    btnLogin = new QPushButton(QStringLiteral("로그인"), this);
    btnLogin->setObjectName(QStringLiteral("btnLogin"));
    btnLogin->setProperty("pictureButton", true);
    btnLogin->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(40, 90, 40, 24);
    grid->addWidget(new QLabel(QStringLiteral("사용자 ID"), this), 0, 0);
    grid->addWidget(txtUser, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("암 호"), this), 1, 0);
    grid->addWidget(txtPass, 1, 1);
    grid->addWidget(btnLogin, 0, 2, 2, 1);
    grid->addWidget(chkSavePwd, 2, 1);
    btnLogin->setMinimumHeight(56);
    setFixedSize(420, 230);

    txtUser->installEventFilter(this);
    txtPass->installEventFilter(this);
    connect(txtUser, &QLineEdit::textChanged, this, [this] { txtUser_Change(); });
    connect(txtPass, &QLineEdit::textChanged, this, [this] { txtPass_Change(); });
    // Pasted or composed text that reached the field past the key filter below.
    connect(txtPass, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (showsHint())
            leaveHint(QString(text).remove(hint()));
    });
    connect(chkSavePwd, &QCheckBox::clicked, this, [this] { chkSavePwd_Click(); });
    connect(btnLogin, &QPushButton::clicked, this, [this] { DoLogin(); });
    Form_Load();
    WindowFit::centre(this);
}

void FrmLogin::Form_Load() {
    setWindowTitle(AppState::title() + QStringLiteral(" 로그인"));
    m_succeeded = false;
    const QString bg = AppPaths::inApp(QStringLiteral("Image/loginbg.jpg"));
    if (QFileInfo(bg).isFile()) {
        QPalette p = palette();
        p.setBrush(QPalette::Window,
                   QBrush(QPixmap(bg).scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
        setPalette(p);
        setAutoFillBackground(true);
    }
    chkSavePwd->setChecked(config(QStringLiteral("SavePWD"), QStringLiteral("0")).toInt() != 0);
    QString id = config(QStringLiteral("RecentID"));
    if (id.isEmpty())
        id = QStringLiteral("ADMIN");
    txtUser->setText(id.toUpper());
    try {
        if (IsEmptyPassword(id)) {
            showHint(true);
        } else if (chkSavePwd->isChecked() && !config(QStringLiteral("passwd")).isEmpty()) {
            txtPass->setText(mdlCommonKV::DecodeStr(config(QStringLiteral("passwd"))));
        }
    } catch (const AppError &e) {
        ErrorBox::report(e, QStringLiteral("Form_Load"), QStringLiteral("Form FrmLogin"));
    }
}

// The hint is no password: it stands for an empty one.
QString FrmLogin::typedPassword() const {
    return showsHint() && txtPass->text() == hint() ? QString() : txtPass->text();
}

bool FrmLogin::showsHint() const { return txtPass->echoMode() == QLineEdit::Normal; }

void FrmLogin::showHint(bool hint) {
    txtPass->setEchoMode(hint ? QLineEdit::Normal : QLineEdit::Password);
    txtPass->setText(hint ? FrmLogin::hint() : QString());
}

void FrmLogin::leaveHint(const QString &typed) {
    const QSignalBlocker quiet(txtPass);
    txtPass->setEchoMode(QLineEdit::Password);
    txtPass->setText(typed);
}

bool FrmLogin::IsEmptyPassword(const QString &id) { return LoginAttempts::hasEmptyPassword(id); }

bool FrmLogin::CheckLogin(const QString &id, const QString &password) { return LoginPassword::check(id, password); }

void FrmLogin::DoLogin() {
    if (txtUser->text().trimmed().isEmpty()) {
        MsgInfo(QStringLiteral("사용자 ID를 입력하세요."));
        txtUser->setFocus();
        return;
    }
    const QString password = typedPassword();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LoginAttempts::Outcome outcome;
    try {
        outcome = m_attempts.attempt(txtUser->text(), password);
    } catch (const AppError &e) {
        QApplication::restoreOverrideCursor();
        // Not the user's fault: the window stays.
        ErrorBox::report(e, QStringLiteral("DoLogin"), QStringLiteral("Form FrmLogin"));
        return;
    }
    QApplication::restoreOverrideCursor();
    m_succeeded = outcome == LoginAttempts::Outcome::Succeeded;
    const bool last = outcome == LoginAttempts::Outcome::LastRefused;
    if (m_succeeded) {
        if (m_idChanged)
            setConfig(QStringLiteral("RecentID"), txtUser->text());
        if (chkSavePwd->isChecked() && m_passTyped)
            setConfig(QStringLiteral("passwd"), mdlCommonKV::EncodeStr(password));
    } else if (last) {
        MsgInfo(QStringLiteral("암호입력 제한 횟수를 초과하여, 프로그램이 종료됩니다."));
    } else {
        MsgInfo(QStringList{QStringLiteral("유저명과 암호가 일치하지 않습니다."), QString(),
                            QStringLiteral("존재하지 않는 유저명이거나,"),
                            QStringLiteral("암호가 잘못 입력되었습니다."), QString(),
                            QStringLiteral("※최초 접속인 경우, 암호란을 비우고 엔터키를 치세요.")}
                    .join(QStringLiteral("\r\n")));
        txtPass->setFocus();
    }
    if (m_succeeded || last)
        close();
}

void FrmLogin::txtUser_Change() {
    if (isVisible() && showsHint())
        showHint(false);
}

void FrmLogin::txtPass_Change() {
    if (isVisible())
        m_passTyped = true;
}

void FrmLogin::chkSavePwd_Click() {
    if (!isVisible())
        return;
    setConfig(QStringLiteral("SavePWD"), chkSavePwd->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    setConfig(QStringLiteral("passwd"), chkSavePwd->isChecked() ? mdlCommonKV::EncodeStr(typedPassword()) : QString());
}

bool FrmLogin::eventFilter(QObject *watched, QEvent *e) {
    if (watched == txtUser) {
        if (e->type() == QEvent::FocusIn) {
            m_idOnFocus = txtUser->text();
            txtUser->selectAll();
        } else if (e->type() == QEvent::FocusOut) {
            if (txtUser->text() != m_idOnFocus)
                m_idChanged = true;
        } else if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(e)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) {
                EnterKeyMove(vbKeyDown);
                return true;
            }
            if (key == Qt::Key_Up) {
                EnterKeyMove(vbKeyUp);
                return true;
            }
        }
    } else if (watched == txtPass) {
        if (e->type() == QEvent::FocusIn) {
            txtPass->selectAll();
            m_passTyped = false;
        } else if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(e)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                DoLogin();
                return true;
            }
            // A password typed over the hint must never show: the hint goes before the key lands.
            const auto *k = static_cast<QKeyEvent *>(e);
            if (showsHint() && ((!k->text().isEmpty() && k->text().at(0).isPrint()) || key == Qt::Key_Backspace ||
                                key == Qt::Key_Delete))
                leaveHint(QString());
        }
    }
    return QWidget::eventFilter(watched, e);
}

void FrmLogin::keyPressEvent(QKeyEvent *e) {
    if (e->key() == Qt::Key_Escape) {
        if (MsgAsk(QStringLiteral("프로그램을 종료하시겠습니까?"), QString(), true) == vbYes)
            close();
        return;
    }
    QWidget::keyPressEvent(e);
}

void FrmLogin::closeEvent(QCloseEvent *e) {
    e->accept();
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_succeeded) {
        hide(); // gone before the intro or the main window appears
        gLoginID = txtUser->text();
        modMain::GetLoginUserInfo(gLoginID);
        Q_EMIT loggedIn();
    } else {
        Q_EMIT cancelled();
    }
}
