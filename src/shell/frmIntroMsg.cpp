#include "frmIntroMsg.h"
#include "AppPaths.h"
#include "AppState.h"
#include "Settings.h"
#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmIntroMsg::frmIntroMsg(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmIntroMsg"));
    setWindowTitle(QStringLiteral("안내 메시지"));
    auto *picture = new QLabel(this);
    const QString file = AppPaths::inApp(QStringLiteral("Image/SoftwareInfoMsg.jpg"));
    if (QFileInfo(file).isFile())
        picture->setPixmap(QPixmap(file));
    else
        picture->setText(AppState::title() + QStringLiteral("\n\n휴대폰 모델을 등록하고 찾고 인쇄하는 프로그램입니다.\n"
                                                            "자료는 주기적으로 백업하세요."));
    picture->setAlignment(Qt::AlignCenter);
    picture->setMinimumSize(360, 160);
    btnClose = new QPushButton(QStringLiteral("닫기(&C)"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    Check1 = new QCheckBox(QStringLiteral("더이상 보지않기"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    auto *row = new QHBoxLayout;
    row->addWidget(Check1);
    row->addStretch();
    row->addWidget(btnClose);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(picture);
    lay->addLayout(row);
    btnClose->setAutoDefault(false);
    btnClose->installEventFilter(this);
    Check1->installEventFilter(this);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(Check1, &QCheckBox::clicked, this, [this] {
        Settings::SaveSetting(AppState::title(), QStringLiteral("Config"), QStringLiteral("NoMsg"),
                              QStringLiteral("1"));
        accept();
    });
}

bool frmIntroMsg::eventFilter(QObject *watched, QEvent *e) {
    if (e->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent *>(e));
        return true;
    }
    return e->type() == QEvent::KeyRelease || QDialog::eventFilter(watched, e);
}

void frmIntroMsg::keyPressEvent(QKeyEvent *e) {
    const int key = e->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)
        accept();
}
