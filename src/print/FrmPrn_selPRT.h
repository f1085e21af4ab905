#pragma once
#include <QDialog>

class QListWidget;

// Chooses, for one kind of printed document, the printer it goes to or the system's
// default printer; the choice is kept in the program's settings ("Config" / <kind>_Printer).
class FrmPrn_selPRT : public QDialog {
    Q_OBJECT
public:
    explicit FrmPrn_selPRT(QWidget *parent = nullptr);

    void InitForm(qint16 PrnKind, const QString &sECTName);
    void btnOK_Click();
    void btnDefaultPrn_Click();
    void btnCancel_Click();

    // The document kind's name: "세금계산서" for 0 … "바코드라벨" for 6, sECTName for 10.
    static QString kindName(int kind, const QString &sECTName);
    // The settings key of the kind's choice.
    QString settingKey() const { return m_kindName + QStringLiteral("_Printer"); }

    QListWidget *List1 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void store(const QString &printer);

    QString m_kindName;
};
