#include "FrmSPPrint_PageSetup.h"
#include "FrmSPPrint_HeaderFooter.h"
#include "Messages.h"
#include "PrintRequest.h"
#include "Settings.h"
#include "SheetPrinter.h"
#include "Spread.h"
#include "modFrmCtrl.h"
#include "modSpreadPrint.h"
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

// A sheet of paper with lines of text, upright or on its side.
QPixmap pagePicture(bool landscape) {
    const QSize size = landscape ? QSize(44, 32) : QSize(32, 44);
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF page(1.5, 1.5, size.width() - 3, size.height() - 3);
    const qreal fold = 8;
    QPolygonF outline{page.topLeft(), QPointF(page.right() - fold, page.top()),
                      QPointF(page.right(), page.top() + fold), page.bottomRight(), page.bottomLeft()};
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(Qt::white);
    p.drawPolygon(outline);
    p.drawPolyline(QPolygonF{QPointF(page.right() - fold, page.top()), QPointF(page.right() - fold, page.top() + fold),
                             QPointF(page.right(), page.top() + fold)});
    p.setPen(QPen(QColor(70, 110, 190), 2));
    for (qreal y = page.top() + fold + 4; y < page.bottom() - 4; y += 5)
        p.drawLine(QPointF(page.left() + 5, y), QPointF(page.right() - 5, y));
    return pm;
}

const char *const kMarginKeys[4] = {"PrintMarginLeft", "PrintMarginRight", "PrintMarginTop", "PrintMarginBottom"};

} // namespace

FrmSPPrint_PageSetup::FrmSPPrint_PageSetup(PrintRequest &request, QWidget *parent)
    : QDialog(parent), m_request(request) {
    setObjectName(QStringLiteral("FrmSPPrint_PageSetup"));
    setWindowTitle(QStringLiteral("Setup"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *margins = new QGroupBox(QStringLiteral("여백 설정 (inch) - 페이지 맞춤시 적용안됨"), this);
    margins->setObjectName(QStringLiteral("Frame2_0"));
    auto *marginGrid = new QGridLayout(margins);
    const char *const labels[4] = {"Left:", "Right:", "Top:", "Bottom:"};
    for (int i = 0; i < 4; ++i) {
        auto *label = new QLabel(QLatin1String(labels[i]), margins);
        label->setObjectName(QStringLiteral("Label2_%1").arg(i));
        auto *box = new QLineEdit(margins);
        box->setObjectName(QStringLiteral("pagemargin_%1").arg(i));
        box->setInputMask(QStringLiteral("9.99;_"));
        box->setAlignment(Qt::AlignRight);
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00.000")) + 16);
        box->installEventFilter(this);
        label->setBuddy(box);
        m_margin.at(size_t(i)) = box;
        marginGrid->addWidget(label, i / 2, (i % 2) * 2, Qt::AlignRight);
        marginGrid->addWidget(box, i / 2, (i % 2) * 2 + 1);
    }
    marginGrid->setColumnStretch(4, 1);

    auto *orientation = new QGroupBox(QStringLiteral("출력 방향 - 페이지 맞춤시 적용안됨"), this);
    orientation->setObjectName(QStringLiteral("Frame1"));
    auto *orientationRow = new QHBoxLayout(orientation);
    const char *const orientations[2] = {"세로", "가로"};
    for (int i = 0; i < 2; ++i) {
        auto *picture = new QLabel(orientation);
        picture->setObjectName(QStringLiteral("Image1_%1").arg(i));
        picture->setPixmap(pagePicture(i == 1));
        auto *option = new QRadioButton(QString::fromUtf8(orientations[i]), orientation);
        option->setObjectName(QStringLiteral("porientation_%1").arg(i));
        m_orientation.at(size_t(i)) = option;
        orientationRow->addWidget(picture);
        orientationRow->addWidget(option);
        orientationRow->addSpacing(16);
    }
    orientationRow->addStretch();

    auto *zoom = new QGroupBox(QStringLiteral("미리보기 확대 설정"), this);
    zoom->setObjectName(QStringLiteral("Frame2_1"));
    auto *zoomRow = new QHBoxLayout(zoom);
    auto *zoomLabel = new QLabel(QStringLiteral("Zoom:"), zoom);
    zoomLabel->setObjectName(QStringLiteral("Label1"));
    Combo1 = new QComboBox(zoom);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    zoomRow->addWidget(zoomLabel);
    zoomRow->addWidget(Combo1);
    zoomRow->addStretch();

    auto *headerFooter = new QGroupBox(QStringLiteral("머릿말/꼬릿말 설정"), this);
    headerFooter->setObjectName(QStringLiteral("Frame3"));
    auto *headerFooterRow = new QHBoxLayout(headerFooter);
    auto *change = new QPushButton(QStringLiteral("머릿말/꼬릿말 변경"), headerFooter);
    change->setObjectName(QStringLiteral("Command1"));
    change->setAutoDefault(false);
    connect(change, &QPushButton::clicked, this, &FrmSPPrint_PageSetup::HeaderFooter_Click);
    headerFooterRow->addWidget(change);
    headerFooterRow->addStretch();

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command2_0"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &FrmSPPrint_PageSetup::OK_Click);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command2_1"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto *groups = new QVBoxLayout;
    groups->addWidget(margins);
    groups->addWidget(orientation);
    groups->addWidget(zoom);
    groups->addWidget(headerFooter);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(groups, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    loadFromGrid();
}

Spread *FrmSPPrint_PageSetup::grid() const { return m_request.grid; }

void FrmSPPrint_PageSetup::loadFromGrid() {
    for (int i = 0; i < 14; ++i)
        Combo1->addItem(QLatin1String(modSpreadPrint::zoom(i).text));
    Combo1->setCurrentIndex(std::clamp(m_request.zoomIndex, 0, 13));
    const Spread *g = grid();
    if (!g)
        return;
    const SheetPrintProps &props = g->printProps();
    if (props.scalingMethod != 0) {
        for (QLineEdit *box : m_margin)
            box->setEnabled(false);
        for (QRadioButton *option : m_orientation)
            option->setEnabled(false);
    }
    const double twips[4] = {props.marginLeft, props.marginRight, props.marginTop, props.marginBottom};
    for (int i = 0; i < 4; ++i)
        m_margin.at(size_t(i))->setText(QString::asprintf("%.2f", std::floor(twips[i]) / 1440.0));
    m_orientation.at(props.orientation == 2 ? 1 : 0)->setChecked(true);
}

QString FrmSPPrint_PageSetup::promptsToZeros(const QString &displayed) {
    return QString(displayed).replace(QLatin1Char('_'), QLatin1Char('0'));
}

QString FrmSPPrint_PageSetup::shortestDecimal(const QString &text) { return QString::number(text.toDouble()); }

bool FrmSPPrint_PageSetup::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::FocusIn)
        if (auto *box = qobject_cast<QLineEdit *>(watched))
            SelectAllWhenEntered(box, static_cast<QFocusEvent *>(event)->reason());
    if (event->type() == QEvent::FocusOut)
        if (auto *box = qobject_cast<QLineEdit *>(watched))
            box->setText(promptsToZeros(box->displayText()));
    return QDialog::eventFilter(watched, event);
}

void FrmSPPrint_PageSetup::HeaderFooter_Click() {
    FrmSPPrint_HeaderFooter editor(m_request, this);
    editor.exec();
}

void FrmSPPrint_PageSetup::OK_Click() {
    // A box still being typed in has not been left yet.
    for (QLineEdit *box : m_margin)
        box->setText(promptsToZeros(box->displayText()));
    Spread *g = grid();
    SheetPrintProps typed = g ? g->printProps() : SheetPrintProps();
    typed.marginTop = m_margin[2]->text().toDouble() * 1440;
    typed.marginBottom = m_margin[3]->text().toDouble() * 1440;
    typed.marginLeft = m_margin[0]->text().toDouble() * 1440;
    typed.marginRight = m_margin[1]->text().toDouble() * 1440;
    typed.orientation = m_orientation[0]->isChecked() ? 1 : 2;
    // Refused margins change nothing: the dialog stays for the user to correct them.
    if (const QString refusal = SheetPrinter::marginsRefusal(typed); g && !refusal.isEmpty()) {
        MsgWarn(refusal);
        m_margin[0]->setFocus();
        return;
    }
    const int zoomIndex = Combo1->currentIndex();
    Q_EMIT zoomChosen(zoomIndex);
    m_request.zoomIndex = zoomIndex;
    if (g) {
        SheetPrintProps &props = g->printProps();
        props = typed;

        bool stored = true;
        for (const int i : {2, 3, 0, 1})
            stored &=
                m_request.saveSetting(QLatin1String(kMarginKeys[i]), shortestDecimal(m_margin.at(size_t(i))->text()));
        stored &= m_request.saveSetting(QStringLiteral("PrintOrientation"), QString::number(props.orientation));
        stored &= m_request.saveSetting(QStringLiteral("PrintZoomType"), QString::number(zoomIndex));
        // Applied to this print all the same; only the next print would not find them.
        if (!stored)
            MsgWarn(QStringLiteral("인쇄 설정을 저장하지 못했습니다.\r\n") +
                    Settings::storeFile(m_request.settingsApp()));
    }
    accept();
}
