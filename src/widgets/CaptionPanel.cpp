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
    // A tool bar paints its widgets in the button roles, a window in the window roles.
    QPalette p = palette();
    for (const auto role : {QPalette::Window, QPalette::Button})
        p.setColor(role, VbUnits::toColor(m_back));
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText})
        p.setColor(role, VbUnits::toColor(m_fore));
    setPalette(p);
}
