// Header/footer codes: whatever the printer reads from a text, written back it reads the
// same; and what the editor's table shows of it, saved and reopened, shows the same.
#include "FuzzSupport.h"
#include "HeaderFooterCode.h"
#include "HeaderFooterTable.h"

namespace {
bool sameCells(const HeaderFooterTable &a, const HeaderFooterTable &b) {
    for (int row = 1; row <= HeaderFooterTable::kRows; ++row)
        for (int col : {1, 3, 5}) {
            const HeaderFooterTable::Cell &x = a.cell(col, row), &y = b.cell(col, row);
            if (x.text != y.text || x.pageNumber != y.pageNumber || (!x.text.isEmpty() && !(x.font == y.font)))
                return false;
        }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // An odd first byte reads the rest as UTF-8, to reach Korean text and font names.
    const QString code = size > 0 && (data[0] & 1) ? QString::fromUtf8(bytes.mid(1)) : QString::fromLatin1(bytes);
    using namespace HeaderFooterCode;
    const Font base{QStringLiteral("굴림체"), 10};

    const Document doc = parse(code, base);
    const QString written = write(doc, base);
    FUZZ_CHECK(parse(written, base) == doc);
    FUZZ_CHECK(write(parse(written, base), base) == written);

    HeaderFooterTable shown(base);
    shown.read(code);
    const QString saved = shown.write();
    HeaderFooterTable reopened(base);
    FUZZ_CHECK(reopened.read(saved).error.isEmpty());
    FUZZ_CHECK(sameCells(shown, reopened));
    FUZZ_CHECK(reopened.write() == saved);
    return 0;
}
