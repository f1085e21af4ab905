#pragma once
#include <QDialog>

class QLineEdit;
class QPushButton;
class Spread;

// Picks one of the values already used in a column of t_mobile.
class fBMobil_Save_Search : public QDialog {
    Q_OBJECT
public:
    explicit fBMobil_Save_Search(QWidget *parent = nullptr);

    void Refresh_sheet(const QString &sField, const QString &sWhr);
    // row -1: the active row.
    void PickRow(int row);
    QString result() const { return m_result; }
    static int ColName() { return 1; }
    static int ColCode() { return 0; }

    QLineEdit *txtinput = nullptr;
    QPushButton *btnQuery = nullptr;
    QPushButton *btnSel = nullptr;
    Spread *spList = nullptr;

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    QString m_field;
    QString m_result;
};

// Opens the lookup for a column, narrowed by text; the picked value, or empty text.
QString OpenHandsetLookup(const QString &field, const QString &text);
