// Layout reader: whatever a layout file holds, every value it hands out is one a screen and
// a grid can show.
#include "FormLayoutFile.h"
#include "FuzzSupport.h"
#include <cmath>

namespace {
void checkIn(const std::optional<double> &v, double low, double high) {
    if (v)
        FUZZ_CHECK(std::isfinite(*v) && *v >= low && *v <= high);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Fuzz::prompter();
    const QString path = Fuzz::file(QStringLiteral("layout.ini"));
    Fuzz::writeFile(path, data, size);
    using namespace FormLayoutFile;

    const FormRect r = readFormRect(path, false);
    if (r.left)
        FUZZ_CHECK(*r.left > 0 && *r.left <= kMaxPositionTwips);
    if (r.top)
        FUZZ_CHECK(*r.top > 0 && *r.top <= kMaxPositionTwips);
    checkIn(r.width, kMinSizeTwips, kMaxSizeTwips);
    checkIn(r.height, kMinSizeTwips, kMaxSizeTwips);
    if (r.state)
        FUZZ_CHECK(*r.state >= 0 && *r.state <= 2);

    const FormRect placed = readFormRect(path, true);
    FUZZ_CHECK(!placed.width && !placed.height && !placed.state);
    FUZZ_CHECK(placed.left == r.left && placed.top == r.top);

    constexpr int kMaxCols = 40;
    for (const QString &base : {QStringLiteral("spList"), gridBase(QStringLiteral("spList"), 1)}) {
        const GridLayout g = readGridLayout(path, base, kMaxCols);
        for (const auto &[col, width] : g.colWidths) {
            FUZZ_CHECK(col >= 1 && col <= kMaxCols);
            checkIn(width, 0, kMaxColWidthChars);
        }
        checkIn(g.fontSize, kMinFontSize, kMaxFontSize);
        checkIn(g.rowHeight, kMinRowHeight, kMaxRowHeight);
    }
    return 0;
}
