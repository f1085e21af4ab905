#include "SortKeys.h"
#include <algorithm>
#include <cmath>
#include <optional>

namespace {
// Only a text starting so (after blanks) can read as a number; the rest skip the parser.
bool mayBeNumber(QStringView s) {
    for (const QChar c : s) {
        if (c.isSpace())
            continue;
        const char16_t u = c.unicode();
        return (u >= u'0' && u <= u'9') || u == u'+' || u == u'-' || u == u'.' || u == u'i' || u == u'I' ||
               u == u'n' || u == u'N';
    }
    return false;
}

std::optional<double> numberOf(QStringView s) {
    if (!mayBeNumber(s))
        return std::nullopt;
    bool ok = false;
    const double v = s.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

// Unit by unit as the case-insensitive comparison folds them: a low surrogate with the code
// point it completes, every other unit on its own.
void foldInto(std::vector<char16_t> &keys, QStringView s) {
    char16_t prev = 0;
    for (const QChar qc : s) {
        const char16_t c = qc.unicode();
        char16_t f = c;
        if (c < 0x80)
            f = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
        else if (QChar::isLowSurrogate(c) && QChar::isHighSurrogate(prev))
            f = QChar::lowSurrogate(QChar::toCaseFolded(QChar::surrogateToUcs4(prev, c)));
        else if (c < 0xAC00 || c > 0xD7A3) // Hangul syllables have no case
            f = char16_t(QChar::toCaseFolded(char32_t(c)));
        keys.push_back(f);
        prev = c;
    }
}

struct TextEntry {
    quint64 head; // the first four key units, the first one highest
    uint32_t offset, length;
    int row;
};
struct NumberEntry {
    double value;
    int row;
};
} // namespace

std::vector<int> SortKeys::order(const TextColumn &texts, int n, bool ascending) {
    std::vector<NumberEntry> numbers;
    std::vector<TextEntry> words;
    std::vector<int> empty;
    std::vector<char16_t> keys;
    QString scratch;
    for (int row = 0; row < n; ++row) {
        const QStringView s = texts.view(row, scratch);
        if (s.isEmpty()) {
            empty.push_back(row);
        } else if (const std::optional<double> v = numberOf(s)) {
            numbers.push_back({*v, row});
        } else {
            const auto offset = uint32_t(keys.size());
            foldInto(keys, s);
            quint64 head = 0;
            for (size_t k = 0; k < 4; ++k)
                head = head << 16 | (offset + k < keys.size() ? keys[offset + k] : 0);
            words.push_back({head, offset, uint32_t(keys.size() - offset), row});
        }
    }
    // Ties keep their old order whichever way the column sorts.
    const auto textLess = [&](const TextEntry &a, const TextEntry &b) {
        int cmp = a.head < b.head ? -1 : (b.head < a.head ? 1 : 0);
        if (cmp == 0)
            cmp = QStringView(keys.data() + a.offset, a.length).compare(QStringView(keys.data() + b.offset, b.length));
        if (cmp == 0)
            return a.row < b.row;
        return ascending ? cmp < 0 : cmp > 0;
    };
    // A value that is not a number (NaN) sorts after all others.
    const auto numberLess = [ascending](const NumberEntry &a, const NumberEntry &b) {
        const bool an = std::isnan(a.value), bn = std::isnan(b.value);
        if (an || bn)
            return an != bn ? bn : a.row < b.row;
        if (a.value != b.value)
            return ascending ? a.value < b.value : a.value > b.value;
        return a.row < b.row;
    };
    std::sort(words.begin(), words.end(), textLess);
    std::sort(numbers.begin(), numbers.end(), numberLess);
    std::vector<int> out;
    out.reserve(size_t(n));
    const auto addNumbers = [&] {
        for (const NumberEntry &e : numbers)
            out.push_back(e.row);
    };
    const auto addWords = [&] {
        for (const TextEntry &e : words)
            out.push_back(e.row);
    };
    if (ascending) {
        addNumbers();
        addWords();
    } else {
        addWords();
        addNumbers();
    }
    out.insert(out.end(), empty.begin(), empty.end());
    return out;
}
