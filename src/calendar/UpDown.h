#pragma once
#include <QWidget>

class QToolButton;

// A pair of small arrow buttons stacked on each other, for stepping a value in a box beside
// it. Mouse only: the box keeps the keyboard focus while it is stepped.
class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget *parent = nullptr);

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

Q_SIGNALS:
    void UpClick();
    void DownClick();

private:
    QToolButton *m_up;
    QToolButton *m_down;
};
