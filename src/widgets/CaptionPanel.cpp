#include "CaptionPanel.h"
#include "VbUnits.h"

CaptionPanel::CaptionPanel(const QString &caption, QWidget *parent) : QLabel(caption, parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    setAlignment(Qt::AlignCenter);
    applyColors();
}

void CaptionPanel::setBackColor(int bgr) {
    m_back = bgr;
    applyColors();
}

void CaptionPanel::setForeColor(int bgr) {
    m_fore = bgr;
    applyColors();
}

void CaptionPanel::applyColors() {
    QPalette p = palette();
    p.setColor(QPalette::Window, VbUnits::toColor(m_back));
    p.setColor(QPalette::WindowText, VbUnits::toColor(m_fore));
    setPalette(p);
}
