#pragma once
#include <QDialog>
#include <QString>
#include <array>

class QFrame;
class QGridLayout;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class UpDown;

// Modal period picker: a start and an end date typed, stepped, picked from the calendar
// pop-up or set by one of 27 ready-made periods (which confirm at once). Preset with
// setText1()/setText2(), exec(), then read OK() and, when it is true, Text1() and Text2().
class FrmEasyDate : public QDialog {
    Q_OBJECT
public:
    explicit FrmEasyDate(QWidget *parent = nullptr);

    bool OK() const { return m_ok; }
    QString Text1() const { return m_text[0]; }
    QString Text2() const { return m_text[1]; }
    // A valid "yyyy-mm-dd" is stored and shown in its box; anything else is ignored.
    void setText1(const QString &text) { preset(0, text); }
    void setText2(const QString &text) { preset(1, text); }

    QLineEdit *meDate(int i) const { return m_meDate[i]; }
    UpDown *udMvDay(int i) const { return m_udMvDay[i]; }
    QPushButton *cmdCaln(int i) const { return m_cmdCaln[i]; }
    QPushButton *cmdTermCng(int i) const { return m_cmdTermCng[i]; }
    QPushButton *cmdMvDate(int i) const { return m_cmdMvDate[i]; }
    QPushButton *cmdOK() const { return m_cmdOK; }
    QPushButton *cmdClose() const { return m_cmdClose; }

public Q_SLOTS:
    void cmdOK_Click();
    void cmdClose_Click();
    void cmdTermCng_Click(int index);
    void cmdMvDate_Click(int index);
    void cmdCaln_Click(int index);
    void udMvDay_UpClick(int index) { stepDay(index, 1); }
    void udMvDay_DownClick(int index) { stepDay(index, -1); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildDateBox(int i, QWidget *parent);
    QGridLayout *buildPeriodRows(QWidget *parent);
    void fitDateBox(int i);
    void preset(int i, const QString &text);
    void stepDay(int i, int step);

    QString boxText(int i) const;
    void setBoxText(int i, const QString &text);
    // Focus to a box from the program's side: keeps its text whatever it holds.
    void focusBox(int i);
    // Both boxes hold dates; else the invalid-date message and the focus to the first bad box.
    bool datesValid();
    void showInvalidDate();
    bool dateKey(int i, QKeyEvent *event);
    void leavingBox(int i, Qt::FocusReason reason);

    bool m_ok = false;
    bool m_keepText = false;
    std::array<QString, 2> m_text;
    std::array<QFrame *, 2> m_RectRound{};
    std::array<QLineEdit *, 2> m_meDate{};
    std::array<UpDown *, 2> m_udMvDay{};
    std::array<QPushButton *, 2> m_cmdCaln{};
    std::array<QPushButton *, 27> m_cmdTermCng{};
    std::array<QPushButton *, 12> m_cmdMvDate{};
    QPushButton *m_cmdOK = nullptr;
    QPushButton *m_cmdClose = nullptr;
};
