#pragma once
#include <QWidget>
#include <array>

class ChartView;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// "그래프": labelled values as a chart, page by page, with the chosen kind, unit, colours
// and display options remembered, printed with a title. Callers: ClearGraph, AddData per
// item in display order, ReDrawGraph, then show.
class FrmKVGraph : public QWidget {
    Q_OBJECT
public:
    explicit FrmKVGraph(QWidget *parent = nullptr);

    void ClearGraph();
    void AddData(double value, const QString &label);
    void ReDrawGraph();

    void cmdRefresh_Click();
    void cmdMovePage_Click(int index);
    void btnColor_Click(int index);
    void btnPrint_Click();

    int currentPage() const { return m_page; }

    ChartView *KVGraph = nullptr;
    QFrame *picBoard = nullptr, *pnlTop = nullptr, *pnlList = nullptr;
    QLineEdit *txtTitle = nullptr;
    QComboBox *cboGraphType = nullptr, *cboUnit = nullptr;
    std::array<QPushButton *, 2> btnColor{};
    std::array<QLineEdit *, 3> htMax{}; // boxes 0 and 2
    std::array<QCheckBox *, 4> chkGrpStat{};
    QPushButton *cmdRefresh = nullptr, *btnPrint = nullptr, *btnClose = nullptr;
    std::array<QPushButton *, 2> cmdMovePage{};
    QLabel *lblPage = nullptr, *lblDataCnt = nullptr;

protected:
    void resizeEvent(QResizeEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void buildControls();
    void load();
    void cboGraphType_Click();
    void cboUnit_Click();
    void chkGrpStat_Click(int index);
    void htMax_Change(int index);
    void paintColorButton(int index, int bgr);

    qint16 m_page = 1;
};
