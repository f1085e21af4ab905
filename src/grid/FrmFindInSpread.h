#pragma once
#include <QDialog>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Spread;

// "찾기": finds the next cell of a grid holding a text, row by row or column by column from
// the active cell, continuing from the top, and makes it the active cell. The search text,
// direction and whole-cell flag are remembered until the program ends.
class FrmFindInSpread : public QDialog {
    Q_OBJECT
public:
    explicit FrmFindInSpread(QWidget *parent = nullptr);

    // minCol / maxCol -1: from the first / to the last column.
    void SetFormInit(Spread *sp, int minCol, int maxCol);

    void cmdFind_Click();
    void cmdClose_Click();
    void done(int result) override;

    // Forgets the remembered search (a new run of the program).
    static void resetRemembered();

    QLabel *Label1[2] = {};
    QLineEdit *txtFindWd = nullptr;
    QComboBox *cboFindDir = nullptr;
    QCheckBox *chkSameAll = nullptr;
    QPushButton *cmdFind = nullptr;
    QPushButton *cmdClose = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<Spread> m_grid;
    int m_startCol = 0;
    int m_endCol = 0;
};
