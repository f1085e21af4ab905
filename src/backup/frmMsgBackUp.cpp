#include "frmMsgBackUp.h"
#include "VbUnits.h"
#include <QLabel>
#include <QPainter>
#include <QPushButton>

using VbUnits::twipsToPx;

namespace {
const int kButtonWidth = twipsToPx(1620);
const int kButtonHeight = twipsToPx(795);
constexpr int kMargin = 12;
constexpr int kTextHeight = 90;
} // namespace

frmMsgBackUp::frmMsgBackUp(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMsgBackUp"));
    setWindowTitle(QStringLiteral("데이터 백업"));
    // Without the designed picture the question is spelled out above the buttons.
    auto *question = new QLabel(QStringLiteral("프로그램을 종료합니다.\n데이터를 백업하시겠습니까?"), this);
    question->setObjectName(QStringLiteral("lblQuestion"));
    question->setAlignment(Qt::AlignCenter);
    question->setGeometry(kMargin, kMargin, 4 * kButtonWidth, kTextHeight);

    const std::array<QString, 4> captions{QStringLiteral("서버에 백업"), QStringLiteral("이 PC에 백업"),
                                          QStringLiteral("백업 없이 종료"), QStringLiteral("취소")};
    for (int i = 0; i < 4; ++i) {
        auto *b = new QPushButton(captions.at(size_t(i)), this);
        b->setObjectName(QStringLiteral("cmdResult_%1").arg(i));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdResult_Click(i); });
        m_cmdResult.at(size_t(i)) = b;
    }
    setPicture({});
}

void frmMsgBackUp::setPicture(const QPixmap &picture) {
    m_picture = picture;
    findChild<QLabel *>(QStringLiteral("lblQuestion"))->setVisible(picture.isNull());
    const int rowWidth = 4 * kButtonWidth;
    const int width = std::max(rowWidth, picture.isNull() ? 0 : picture.width()) + 2 * kMargin;
    const int top = (picture.isNull() ? kTextHeight + kMargin : picture.height()) + kMargin;
    const int left = (width - rowWidth) / 2;
    for (int i = 0; i < 4; ++i)
        m_cmdResult.at(size_t(i))->setGeometry(left + i * kButtonWidth, top, kButtonWidth, kButtonHeight);
    setFixedSize(width, top + kButtonHeight + kMargin);
    update();
}

void frmMsgBackUp::cmdResult_Click(int index) {
    m_result = qint16(index);
    accept();
}

void frmMsgBackUp::paintEvent(QPaintEvent *event) {
    QDialog::paintEvent(event);
    if (!m_picture.isNull())
        QPainter(this).drawPixmap((width() - m_picture.width()) / 2, 0, m_picture);
}
