#pragma once
#include <QDialog>
#include <array>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class Spread;

// Margins, orientation and preview zoom of the print job under way. OK applies them to the
// job's grid at once and stores them for the next print of the same window.
class FrmSPPrint_PageSetup : public QDialog {
    Q_OBJECT
public:
    explicit FrmSPPrint_PageSetup(QWidget *parent = nullptr);

    QLineEdit *pagemargin(int i) const { return m_margin.at(size_t(i)); }
    QRadioButton *porientation(int i) const { return m_orientation.at(size_t(i)); }
    QComboBox *Combo1 = nullptr;

    void OK_Click();
    void HeaderFooter_Click();

    // "2.__" as the box shows a partly typed margin → "2.00".
    static QString promptsToZeros(const QString &displayed);
    // The stored form of a box's text: the shortest decimal ("0.50" → "0.5").
    static QString shortestDecimal(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadFromGrid();
    Spread *grid() const;

    std::array<QLineEdit *, 4> m_margin{};
    std::array<QRadioButton *, 2> m_orientation{};
};
