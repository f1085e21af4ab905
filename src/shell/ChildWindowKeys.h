#pragma once
#include <QKeyCombination>
#include <QObject>
class QMdiArea;
class QMdiSubWindow;
class QWidget;

// Keys inside the work area's child windows. Alt+letter reaches the child's own button or
// labelled field before the main menu; Esc that no control of the child used closes it;
// the frame closes on Ctrl+F4 and its menu only, so Ctrl+W stays with the grids.
class ChildWindowKeys : public QObject {
public:
    explicit ChildWindowKeys(QMdiArea *area);
    ~ChildWindowKeys() override;
    void adopt(QMdiSubWindow *sub);
    // The visible, enabled control in root whose mnemonic is Alt+key, or nullptr.
    static QWidget *mnemonicTarget(QWidget *root, QKeyCombination key);

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    QMdiSubWindow *childOf(QObject *o) const;
    QMdiArea *m_area;
    QKeyCombination m_swallow{};
};
