#include "FrmPrn_selPRT.h"
#include "AppState.h"
#include "ErrorBox.h"
#include "Messages.h"
#include "Printers.h"
#include "Settings.h"
#include "modFrmCtrl.h"
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("프린터 드라이버 선택");
const QString kSection = QStringLiteral("Config");
} // namespace

FrmPrn_selPRT::FrmPrn_selPRT(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmPrn_selPRT"));
    setWindowTitle(kCaption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setFont(QFont(QStringLiteral("굴림")));
    List1->setMinimumSize(300, 180);
    List1->installEventFilter(this);
    connect(List1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        List1->setCurrentItem(item);
        btnOK_Click();
    });
    const struct {
        const char *name, *caption;
        void (FrmPrn_selPRT::*click)();
    } buttons[] = {{"btnOK", "선택 &O", &FrmPrn_selPRT::btnOK_Click},
                   {"btnDefaultPrn", "기본프린터 선택", &FrmPrn_selPRT::btnDefaultPrn_Click},
                   {"btnCancel", "닫기 &C", &FrmPrn_selPRT::btnCancel_Click}};
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (const auto &b : buttons) {
        auto *button = new QPushButton(QString::fromUtf8(b.caption), this);
        button->setObjectName(QLatin1String(b.name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, b.click);
        row->addWidget(button);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(List1, 1);
    layout->addLayout(row);

    SetFormStyle(this, true);
    try {
        const QString standard = printers().defaultPrinter();
        for (const QString &name : printers().installed()) {
            auto *item = new QListWidgetItem(name, List1);
            if (name == standard)
                List1->setCurrentItem(item);
        }
    } catch (const AppError &e) {
        ErrorBox::report(e, QStringLiteral("Form_Load"), QStringLiteral("Form FrmPrn_selPRT"));
    }
}

QString FrmPrn_selPRT::kindName(int kind, const QString &sECTName) {
    static const char *const names[] = {"세금계산서", "거래명세표", "DM", "A4일반", "영수증", "대체전표", "바코드라벨"};
    if (kind >= 0 && kind <= 6)
        return QString::fromUtf8(names[kind]);
    return kind == 10 ? sECTName : QString();
}

void FrmPrn_selPRT::InitForm(qint16 PrnKind, const QString &sECTName) {
    m_kindName = kindName(PrnKind, sECTName);
    setWindowTitle(m_kindName + QLatin1Char(' ') + kCaption);
    const QString stored = Settings::GetSetting(AppState::title(), kSection, settingKey());
    if (stored.isEmpty())
        return;
    const auto found = List1->findItems(stored, Qt::MatchExactly);
    if (!found.isEmpty())
        List1->setCurrentItem(found.first());
}

void FrmPrn_selPRT::store(const QString &printer) {
    if (!Settings::SaveSetting(AppState::title(), kSection, settingKey(), printer))
        MsgWarn(QStringLiteral("프린터 선택을 저장하지 못했습니다.\r\n") + Settings::storeFile(AppState::title()));
}

void FrmPrn_selPRT::btnOK_Click() {
    const QListWidgetItem *item = List1->currentItem();
    store(item && item->isSelected() ? item->text() : QString());
    accept();
}

void FrmPrn_selPRT::btnDefaultPrn_Click() {
    store(QString());
    accept();
}

void FrmPrn_selPRT::btnCancel_Click() { reject(); }

bool FrmPrn_selPRT::eventFilter(QObject *watched, QEvent *event) {
    if (watched == List1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            btnOK_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
