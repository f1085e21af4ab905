#include "FrmEasyDate.h"
#include "Clock.h"
#include "DatePeriods.h"
#include "FrmCalendar.h"
#include "Prompter.h"
#include "UpDown.h"
#include "VbUnits.h"
#include "modFrmCtrl.h"
#include <QApplication>
#include <QBoxLayout>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

using namespace DatePeriods;

namespace {

constexpr const char *kPeriodCaptions[kReadyMadeCount] = {
    "그제",   "어제",      "오늘   日", "내일",     "지지난주",  "지난주",    "이번주   ", "다음주",    "지지난달",
    "지난달", "이번달 月", "다음달",    "지지난해", "지난해",    "올해   年", "다음해",    "1분기",     "2분기",
    "3분기",  "4분기",     "전반기",    "후반기",   "최근1개월", "최근2개월", "최근3개월", "최근6개월", "최근1년",
};

constexpr const char *kRowTitles[7] = {"일", "주", "월", "년", "분기", "반기", "최근"};

// Period buttons of each row; the rows with arrows shift with buttons 2 * row and 2 * row + 1.
constexpr int kRowFirst[7] = {0, 4, 8, 12, 16, 20, 22};
constexpr int kRowCount[7] = {4, 4, 4, 4, 4, 2, 5};

const QSize kFrameSize(172, 30);
constexpr int kGridColumns = 20; // common multiple of 4 and 5 buttons a row

// Small month-sheet picture for the calendar buttons.
QIcon calendarIcon() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(70, 70, 70));
    p.setBrush(Qt::white);
    p.drawRect(1, 2, 13, 12);
    p.fillRect(2, 3, 12, 3, QColor(200, 60, 60));
    for (int y = 8; y <= 12; y += 2)
        for (int x = 3; x <= 11; x += 3)
            p.drawPoint(x, y);
    return QIcon(pm);
}

bool isFocusMove(Qt::FocusReason reason) {
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::MouseFocusReason ||
           reason == Qt::ShortcutFocusReason || reason == Qt::OtherFocusReason;
}

bool isBlank(const QString &text) {
    return std::none_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

} // namespace

FrmEasyDate::FrmEasyDate(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("FrmEasyDate"));
    setWindowTitle(QStringLiteral("기간 간편설정"));

    auto *outer = new QVBoxLayout(this);
    auto *dates = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        buildDateBox(i, this);
        dates->addWidget(m_RectRound[i]);
    }
    outer->addLayout(dates);
    outer->addLayout(buildPeriodRows(this));

    m_cmdOK = new QPushButton(QStringLiteral("확인(&O)"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdClose = new QPushButton(QStringLiteral("닫기(&C)"), this);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(m_cmdOK, &QPushButton::clicked, this, &FrmEasyDate::cmdOK_Click);
    connect(m_cmdClose, &QPushButton::clicked, this, &FrmEasyDate::cmdClose_Click);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdClose);
    outer->addLayout(buttons);

    // Keyboard order: the dates, confirm and close, then the period rows.
    QWidget *chain[] = {m_meDate[0], m_meDate[1], m_cmdOK, m_cmdClose};
    for (int k = 0; k + 1 < 4; ++k)
        setTabOrder(chain[k], chain[k + 1]);

    const QDate today = appClock().today();
    for (QPushButton *b : {m_cmdTermCng[currentQuarterButton(today)], m_cmdTermCng[currentHalfButton(today)]}) {
        QFont f = b->font();
        f.setBold(true);
        b->setFont(f);
    }
    for (int i = 0; i < 2; ++i) {
        setBoxText(i, dateText(today));
        fitDateBox(i);
    }
}

void FrmEasyDate::buildDateBox(int i, QWidget *parent) {
    auto *frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("RectRound%1").arg(i));
    frame->setStyleSheet(
        QStringLiteral("QFrame#RectRound%1 { border: 1px solid #8c8c8c; border-radius: 6px; }").arg(i));
    frame->setFixedSize(kFrameSize);
    m_RectRound[i] = frame;

    auto *box = new QLineEdit(frame);
    box->setObjectName(QStringLiteral("meDate%1").arg(i));
    box->setInputMask(QStringLiteral("0000-00-00;_"));
    box->setAlignment(Qt::AlignCenter);
    box->installEventFilter(this);
    m_meDate[i] = box;

    auto *ud = new UpDown(frame);
    ud->setObjectName(QStringLiteral("udMvDay%1").arg(i));
    ud->setFixedWidth(16);
    connect(ud, &UpDown::UpClick, this, [this, i] { udMvDay_UpClick(i); });
    connect(ud, &UpDown::DownClick, this, [this, i] { udMvDay_DownClick(i); });
    m_udMvDay[i] = ud;

    auto *caln = new QPushButton(frame);
    caln->setObjectName(QStringLiteral("cmdCaln%1").arg(i));
    caln->setIcon(calendarIcon());
    caln->setFixedWidth(24);
    caln->setFocusPolicy(Qt::NoFocus);
    connect(caln, &QPushButton::clicked, this, [this, i] { cmdCaln_Click(i); });
    m_cmdCaln[i] = caln;
}

QGridLayout *FrmEasyDate::buildPeriodRows(QWidget *parent) {
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(2);
    auto addButton = [&](const QString &caption, const QString &name) {
        auto *b = new QPushButton(caption, parent);
        b->setObjectName(name);
        b->setFocusPolicy(Qt::TabFocus); // reached by Tab; a click leaves the focus in the date box
        return b;
    };
    for (int row = 0; row < 7; ++row) {
        auto *title = new QLabel(QString::fromUtf8(kRowTitles[row]), parent);
        title->setObjectName(QStringLiteral("Label1_%1").arg(row));
        grid->addWidget(title, row, 0);
        if (row < 6) { // the recent-days row has no arrows
            for (int side = 0; side < 2; ++side) {
                const int index = row * 2 + side;
                QPushButton *b = addButton(side ? QStringLiteral("▶") : QStringLiteral("◀"),
                                           QStringLiteral("cmdMvDate%1").arg(index));
                b->setFixedWidth(26);
                connect(b, &QPushButton::clicked, this, [this, index] { cmdMvDate_Click(index); });
                m_cmdMvDate[index] = b;
                grid->addWidget(b, row, side ? kGridColumns + 2 : 1);
            }
        }
        const int span = kGridColumns / kRowCount[row];
        for (int k = 0; k < kRowCount[row]; ++k) {
            const int index = kRowFirst[row] + k;
            QPushButton *b =
                addButton(QString::fromUtf8(kPeriodCaptions[index]), QStringLiteral("cmdTermCng%1").arg(index));
            connect(b, &QPushButton::clicked, this, [this, index] { cmdTermCng_Click(index); });
            m_cmdTermCng[index] = b;
            grid->addWidget(b, row, 2 + k * span, 1, span);
        }
    }
    return grid;
}

void FrmEasyDate::fitDateBox(int i) {
    using VbUnits::twipsToPx;
    const QSize frame = m_RectRound[i]->size();
    const int inset = twipsToPx(30);
    const int height = frame.height() - twipsToPx(60);
    const int udWidth = m_udMvDay[i]->width();
    const int calnWidth = m_cmdCaln[i]->width();
    const int width = frame.width() - udWidth - calnWidth - twipsToPx(120);
    m_meDate[i]->setGeometry(inset, inset, width, height);
    m_udMvDay[i]->setGeometry(inset + width, inset, udWidth, height);
    m_cmdCaln[i]->setGeometry(inset + width + udWidth, inset, calnWidth, height);
}

void FrmEasyDate::preset(int i, const QString &text) {
    if (!isDate(text))
        return;
    m_text[i] = text;
    setBoxText(i, text);
}

QString FrmEasyDate::boxText(int i) const { return m_meDate[i]->displayText(); }

void FrmEasyDate::setBoxText(int i, const QString &text) { m_meDate[i]->setText(text); }

void FrmEasyDate::focusBox(int i) {
    m_keepText = true;
    m_meDate[i]->setFocus(Qt::OtherFocusReason);
    m_keepText = false;
}

void FrmEasyDate::showInvalidDate() {
    prompter().message(Prompter::Icon::Information, QStringLiteral("날짜입력 확인"),
                       QStringLiteral("날짜의 입력형식이 잘못 되었거나,          \n존재하지 않는 날짜입니다."));
}

bool FrmEasyDate::datesValid() {
    for (int i = 0; i < 2; ++i) {
        if (!isDate(boxText(i))) {
            showInvalidDate();
            focusBox(i);
            return false;
        }
    }
    return true;
}

void FrmEasyDate::stepDay(int i, int step) {
    const QString text = boxText(i);
    const QDate date = parseDate(text);
    if (date.isValid()) {
        const QDate next = date.addDays(step);
        if (next.year() >= 1 && next.year() <= 9999)
            setBoxText(i, dateText(next));
    } else if (isBlank(text)) {
        setBoxText(i, dateText(appClock().today()));
    }
}

void FrmEasyDate::cmdOK_Click() {
    // A click on OK takes the focus without the leaving check, so both dates are checked here.
    if (!datesValid())
        return;
    m_ok = true;
    m_text = {boxText(0), boxText(1)};
    accept();
}

void FrmEasyDate::cmdClose_Click() { reject(); }

void FrmEasyDate::cmdTermCng_Click(int index) {
    const Period p = readyMade(index, appClock().today());
    setBoxText(0, p.start);
    setBoxText(1, p.end);
    cmdOK_Click();
}

void FrmEasyDate::cmdMvDate_Click(int index) {
    if (!datesValid())
        return;
    if (const auto p = shifted(index, boxText(0), boxText(1))) {
        setBoxText(0, p->start);
        setBoxText(1, p->end);
    }
}

void FrmEasyDate::cmdCaln_Click(int index) {
    FrmCalendar calendar(this);
    calendar.setText(boxText(index));
    const QPoint at = m_meDate[index]->mapToGlobal(QPoint(0, 0));
    calendar.move(at.x(), at.y() + m_cmdCaln[index]->height());
    calendar.exec();
    setBoxText(index, calendar.Text());
    focusBox(index);
}

bool FrmEasyDate::dateKey(int i, QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter: focusNextPrevChild(true); return true;
    case Qt::Key_Up: focusNextPrevChild(false); return true;
    default: break;
    }
    if (event->key() >= Qt::Key_0 && event->key() <= Qt::Key_9) {
        // Overwrite exactly the character at the caret, even when more text is selected.
        QLineEdit *box = m_meDate[i];
        const int caret = box->hasSelectedText() ? box->selectionStart() : box->cursorPosition();
        box->setSelection(caret, 1);
    }
    return false;
}

void FrmEasyDate::leavingBox(int i, Qt::FocusReason reason) {
    if (m_keepText || !isFocusMove(reason))
        return;
    // The new focus widget is already set while the old one hears of it leaving.
    QWidget *next = QApplication::focusWidget();
    if (!next || next->window() != this || next == m_cmdClose)
        return; // closing is never held up by a bad date
    if (next == m_cmdOK && reason == Qt::MouseFocusReason)
        return; // the click checks both dates
    if (isDate(boxText(i)))
        return;
    // Refused after the focus change has run its course; taking the focus back from inside it
    // would leave the other widget half entered.
    QMetaObject::invokeMethod(
        this,
        [this, i] {
            showInvalidDate();
            focusBox(i);
        },
        Qt::QueuedConnection);
}

bool FrmEasyDate::eventFilter(QObject *watched, QEvent *event) {
    const int i = watched == m_meDate[0] ? 0 : watched == m_meDate[1] ? 1 : -1;
    if (i < 0)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: return dateKey(i, static_cast<QKeyEvent *>(event));
    case QEvent::FocusIn:
        if (!m_keepText && isFocusMove(static_cast<QFocusEvent *>(event)->reason()) && !isDate(boxText(i)))
            setBoxText(i, dateText(appClock().today()));
        SelectAllWhenEntered(m_meDate[i], static_cast<QFocusEvent *>(event)->reason());
        break;
    case QEvent::FocusOut: leavingBox(i, static_cast<QFocusEvent *>(event)->reason()); break;
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}
