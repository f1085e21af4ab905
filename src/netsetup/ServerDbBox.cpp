#include "ServerDbBox.h"
#include "Messages.h"
#include <QApplication>
#include <QFormLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>

ServerDbBox::ServerDbBox(QWidget *parent) : QGroupBox(QStringLiteral("DB 서버 접속"), parent) {
    setObjectName(QStringLiteral("FraDbServer"));
    const char *const names[] = {"txtDbHost", "txtDbPort", "txtDbName", "txtDbUser", "txtDbPassword"};
    const QString labels[] = {QStringLiteral("서버 주소"), QStringLiteral("포트"), QStringLiteral("데이터베이스"),
                              QStringLiteral("사용자"), QStringLiteral("암호")};
    auto *form = new QFormLayout(this);
    for (size_t i = 0; i < txtServer.size(); ++i) {
        txtServer[i] = new QLineEdit(this);
        txtServer[i]->setObjectName(QString::fromLatin1(names[i]));
        form->addRow(labels[i], txtServer[i]);
    }
    txtServer[1]->setValidator(new QIntValidator(1, 65535, txtServer[1]));
    txtServer[4]->setEchoMode(QLineEdit::Password);
    txtServer[4]->setPlaceholderText(QStringLiteral("비워 두면 PostgreSQL 암호 파일 사용"));
    btnTest = new QPushButton(QStringLiteral("연결 시험"), this);
    btnTest->setObjectName(QStringLiteral("btnDbTest"));
    form->addRow(QString(), btnTest);
    connect(btnTest, &QPushButton::clicked, this, [this] { btnTest_Click(); });
}

void ServerDbBox::load(const ServerConnection &c) {
    txtServer[0]->setText(c.host);
    txtServer[1]->setText(QString::number(c.port));
    txtServer[2]->setText(c.database);
    txtServer[3]->setText(c.user);
    txtServer[4]->setText(c.password);
}

ServerConnection ServerDbBox::connection() const {
    ServerConnection c;
    c.host = txtServer[0]->text().trimmed();
    const int port = txtServer[1]->text().toInt();
    if (port > 0)
        c.port = port;
    c.database = txtServer[2]->text().trimmed();
    c.user = txtServer[3]->text().trimmed();
    c.password = txtServer[4]->text();
    return c;
}

std::optional<ServerConnection> ServerDbBox::completeConnection() const {
    const ServerConnection c = connection();
    if (c.complete())
        return c;
    MsgInfo(QStringLiteral("서버 주소, 데이터베이스와 사용자를 입력하세요."));
    return std::nullopt;
}

void ServerDbBox::btnTest_Click() {
    const std::optional<ServerConnection> c = completeConnection();
    if (!c)
        return;
    QString version, error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = ServerTest::tryConnect(*c, &version, &error);
    QApplication::restoreOverrideCursor();
    if (ok)
        MsgInfo(QStringLiteral("DB 서버에 연결되었습니다.\r\n\r\n") + version);
    else
        MsgWarn(QStringLiteral("DB 서버에 연결하지 못했습니다.\r\n\r\n") + ServerConnection::explainFailure(error));
}
