#pragma once
#include <QColor>

// Stored colours are 24-bit values with red in the low byte; stored sizes are twips.
namespace VbUnits {
constexpr int kTwipsPerPixel = 15; // at the 96 dpi the stored layouts assume

inline QColor toColor(int bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }
inline int fromColor(const QColor &c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }
inline int twipsToPx(int twips) {
    return (twips + (twips >= 0 ? kTwipsPerPixel / 2 : -kTwipsPerPixel / 2)) / kTwipsPerPixel;
}
inline int pxToTwips(int px) { return px * kTwipsPerPixel; }
} // namespace VbUnits
