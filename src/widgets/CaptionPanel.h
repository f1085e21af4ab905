#pragma once
#include <QLabel>

// A caption panel: a framed label whose colours are stored values (red in the low byte),
// so that the common styling can recognise and recolour it.
class CaptionPanel : public QLabel {
    Q_OBJECT
public:
    explicit CaptionPanel(const QString &caption = {}, QWidget *parent = nullptr);
    int backColor() const { return m_back; }
    int foreColor() const { return m_fore; }
    void setBackColor(int bgr);
    void setForeColor(int bgr);

private:
    void applyColors();
    int m_back = 0xC0C0C0;
    int m_fore = 0;
};
