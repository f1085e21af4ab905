#include "frmMsgBackUp.h"
#include "VbUnits.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

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
    auto *column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize);
    // Without the designed picture the question is spelled out above the buttons.
    auto *question = new QLabel(QStringLiteral("프로그램을 종료합니다.\n데이터를 백업하시겠습니까?"), this);
    question->setObjectName(QStringLiteral("lblQuestion"));
    question->setAlignment(Qt::AlignCenter);
    question->setFixedHeight(kTextHeight);
    column->addWidget(question);

    // Buttons side by side with no gap read as one bar; the style's spacing parts them.
    m_buttonRow = new QHBoxLayout;
    const std::array<QString, 4> captions{QStringLiteral("서버에 백업"), QStringLiteral("이 PC에 백업"),
                                          QStringLiteral("백업 없이 종료"), QStringLiteral("취소")};
    for (int i = 0; i < 4; ++i) {
        auto *b = new QPushButton(captions.at(size_t(i)), this);
        b->setObjectName(QStringLiteral("cmdResult_%1").arg(i));
        b->setAutoDefault(false);
        b->setFixedSize(kButtonWidth, kButtonHeight);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdResult_Click(i); });
        m_cmdResult.at(size_t(i)) = b;
        m_buttonRow->addWidget(b);
    }
    column->addLayout(m_buttonRow);
    if (m_buttonRow->spacing() < 1) // a style without its own spacing
        m_buttonRow->setSpacing(6);
    setPicture({});
}

void frmMsgBackUp::setPicture(const QPixmap &picture) {
    m_picture = picture;
    findChild<QLabel *>(QStringLiteral("lblQuestion"))->setVisible(picture.isNull());
    // The picture is painted above the buttons; the row stays centred below it.
    const int rowWidth = 4 * kButtonWidth + 3 * m_buttonRow->spacing();
    const int side = picture.isNull() ? kMargin : std::max(kMargin, (picture.width() + 2 * kMargin - rowWidth + 1) / 2);
    const int top = picture.isNull() ? kMargin : picture.height() + kMargin;
    layout()->setContentsMargins(side, top, side, kMargin);
    layout()->activate();
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
