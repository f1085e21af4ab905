#pragma once
#include <QDialog>
#include <array>

class QCheckBox;
class QLineEdit;
class QRadioButton;
class Spread;
struct PrintRequest;

// What to print of the request's grid and how: the nine print options (stored and applied at
// each click), the print range, page setup, the system's printer dialog. A print accepts the
// dialog, which tells the preview to close as well.
class FrmSPPrint_PrintDlg : public QDialog {
    Q_OBJECT
public:
    enum Range { RangeAll = 0, RangeSelection = 1, RangeCurrentPage = 2, RangePages = 3 };

    // currentPage: the page the preview shows, for the range "현재 페이지".
    FrmSPPrint_PrintDlg(PrintRequest &request, int currentPage, QWidget *parent = nullptr);

    QCheckBox *Check1(int i) const { return m_option.at(size_t(i)); }
    QRadioButton *Option1(int i) const { return m_range.at(size_t(i)); }
    QLineEdit *Text1(int i) const { return m_page.at(size_t(i)); }

    // Sets the range on the grid and prints; false (after saying so) when nothing printed.
    bool PrintSpread();
    void Print_Click();
    void PageSetup_Click();
    void PrinterSetup_Click();

Q_SIGNALS:
    // Page setup opened from here chose a zoom.
    void zoomChosen(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void optionClicked(int index);
    void rangeChosen(int index);
    Spread *grid() const;

    std::array<QCheckBox *, 9> m_option{};
    std::array<QRadioButton *, 4> m_range{};
    std::array<QLineEdit *, 2> m_page{};
    PrintRequest &m_request;
    int m_currentPage;
};
