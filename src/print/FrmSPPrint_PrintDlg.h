#pragma once
#include <QDialog>
#include <QPointer>
#include <array>

class FrmSPPrint_Preview;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class Spread;

// What to print of the job's grid and how: the nine print options (stored and applied at
// each click), the print range, page setup, the system's printer dialog. Printing closes
// this dialog and the preview.
class FrmSPPrint_PrintDlg : public QDialog {
    Q_OBJECT
public:
    enum Range { RangeAll = 0, RangeSelection = 1, RangeCurrentPage = 2, RangePages = 3 };

    explicit FrmSPPrint_PrintDlg(FrmSPPrint_Preview *preview, QWidget *parent = nullptr);

    QCheckBox *Check1(int i) const { return m_option.at(size_t(i)); }
    QRadioButton *Option1(int i) const { return m_range.at(size_t(i)); }
    QLineEdit *Text1(int i) const { return m_page.at(size_t(i)); }

    // Sets the range on the grid and prints; false (after saying so) when nothing printed.
    bool PrintSpread();
    void Print_Click();
    void PageSetup_Click();
    void PrinterSetup_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void optionClicked(int index);
    void rangeChosen(int index);
    Spread *grid() const;

    std::array<QCheckBox *, 9> m_option{};
    std::array<QRadioButton *, 4> m_range{};
    std::array<QLineEdit *, 2> m_page{};
    QPointer<FrmSPPrint_Preview> m_preview;
};
