#pragma once
#include "HeaderFooterTable.h"
#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class Spread;
struct PrintRequest;

// The page header and footer editor of a print request's grid: the header or the footer is
// read into a table of nine lines of left, centre and right texts, edited there (texts,
// fonts, page-number fields) and written back into the grid's print properties.
class FrmSPPrint_HeaderFooter : public QDialog {
    Q_OBJECT
public:
    explicit FrmSPPrint_HeaderFooter(const PrintRequest &request, QWidget *parent = nullptr);

    void InitSpread();
    void GetHeaderDetail(const QString &detailtext);
    void AddCellData(int column);
    QString GetCellData(int column, int row) const;
    void SaveConfiguration();

    void Option3_Click(int index);
    void Command1_Click(); // OK
    void Command2_Click(); // Cancel
    void Command3_Click(); // Save
    void Command4_Click(); // Reset Text
    void Command5_Click(); // 기본값
    // The "..." button of a line: the font of the text cell to its left.
    void fpSpread1_ButtonClicked(int col, int row);
    // Inserts or removes a page-number field in the active cell.
    void fpSpread1_RightClick();

    const HeaderFooterTable &table() const { return m_table; }

    Spread *fpSpread1 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QRadioButton *Option3[2] = {nullptr, nullptr};
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr, *Command4 = nullptr, *Command5 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr;

private:
    void buildWindow();
    bool headerSelected() const;
    // Reads a text into the table and says so when lines of it do not fit.
    void loadText(const QString &text);
    void showCell(int col, int row);
    void showTable();
    void fitTable();
    void takeEdits(const QModelIndex &topLeft, const QModelIndex &bottomRight);

    const PrintRequest &m_request;
    HeaderFooterTable m_table;
    bool m_showing = false;      // the window itself is filling the grid
    bool m_linesDropped = false; // the last text read had lines the table cannot hold
};
