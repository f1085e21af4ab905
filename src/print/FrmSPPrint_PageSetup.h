#pragma once
#include <QDialog>
#include <array>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class Spread;
struct PrintRequest;

// Margins, orientation and preview zoom of a print request. OK applies them to the request's
// grid at once, tells the zoom and stores them for the next print of the same window.
class FrmSPPrint_PageSetup : public QDialog {
    Q_OBJECT
public:
    explicit FrmSPPrint_PageSetup(PrintRequest &request, QWidget *parent = nullptr);

    QLineEdit *pagemargin(int i) const { return m_margin.at(size_t(i)); }
    QRadioButton *porientation(int i) const { return m_orientation.at(size_t(i)); }
    QComboBox *Combo1 = nullptr;

    void OK_Click();
    void HeaderFooter_Click();

    // "2.__" as the box shows a partly typed margin → "2.00".
    static QString promptsToZeros(const QString &displayed);
    // The stored form of a box's text: the shortest decimal ("0.50" → "0.5").
    static QString shortestDecimal(const QString &text);

Q_SIGNALS:
    // OK with a zoom (the same one too): the open preview shows it.
    void zoomChosen(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadFromGrid();
    Spread *grid() const;

    PrintRequest &m_request;
    std::array<QLineEdit *, 4> m_margin{};
    std::array<QRadioButton *, 2> m_orientation{};
};
