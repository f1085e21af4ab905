#include "SortKeys.h"
#include "PodBuffer.h"
#include <algorithm>
#include <cmath>
#include <optional>

namespace {
// Back to n units, keeping the room reserved (a PodBuffer resized to 0 gives its memory back).
void truncate(PodBuffer<char16_t> &keys, size_t n) { keys.erase(n, keys.size() - n); }

char16_t foldUnit(char16_t c) {
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    if (c >= 0xAC00 && c <= 0xD7A3) // Hangul syllables have no case
        return c;
    return char16_t(QChar::toCaseFolded(char32_t(c)));
}

bool startsNumber(char16_t u) {
    return (u >= u'0' && u <= u'9') || u == u'+' || u == u'-' || u == u'.' || u == u'i' || u == u'I' || u == u'n' ||
           u == u'N';
}

// Only a text starting so (after blanks) can read as a number; the rest skip the parser.
bool mayBeNumber(QStringView s) {
    for (const QChar c : s)
        if (!c.isSpace())
            return startsNumber(c.unicode());
    return false;
}

std::optional<double> numberOf(QStringView s) {
    if (!mayBeNumber(s))
        return std::nullopt;
    bool ok = false;
    const double v = s.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

// A result's UTF-8 folded straight into keys, with the first unit that is not a blank; false
// (keys as they were) for what is not plain UTF-8 of the basic plane, which takes the long way.
bool foldUtf8Into(PodBuffer<char16_t> &keys, const char *text, size_t n, char16_t *first) {
    const size_t start = keys.size();
    *first = 0;
    for (size_t i = 0; i < n;) {
        const auto b = static_cast<unsigned char>(text[i]);
        char32_t cp = 0;
        if (b < 0x80) {
            cp = b;
            i += 1;
        } else if ((b & 0xE0) == 0xC0 && i + 1 < n && (text[i + 1] & 0xC0) == 0x80 && b >= 0xC2) {
            cp = char32_t(b & 0x1F) << 6 | char32_t(text[i + 1] & 0x3F);
            i += 2;
        } else if ((b & 0xF0) == 0xE0 && i + 2 < n && (text[i + 1] & 0xC0) == 0x80 && (text[i + 2] & 0xC0) == 0x80) {
            cp = char32_t(b & 0x0F) << 12 | char32_t(text[i + 1] & 0x3F) << 6 | char32_t(text[i + 2] & 0x3F);
            i += 3;
            if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) {
                truncate(keys, start);
                return false;
            }
        } else {
            truncate(keys, start);
            return false;
        }
        if (!*first && !QChar::isSpace(cp))
            *first = char16_t(cp);
        keys.push_back(foldUnit(char16_t(cp)));
    }
    return true;
}

// Unit by unit as the case-insensitive comparison folds them: a low surrogate with the code
// point it completes, every other unit on its own.
void foldInto(PodBuffer<char16_t> &keys, QStringView s) {
    char16_t prev = 0;
    for (const QChar qc : s) {
        const char16_t c = qc.unicode();
        keys.push_back(QChar::isLowSurrogate(c) && QChar::isHighSurrogate(prev)
                           ? QChar::lowSurrogate(QChar::toCaseFolded(QChar::surrogateToUcs4(prev, c)))
                           : foldUnit(c));
        prev = c;
    }
}

struct TextEntry {
    quint64 head[2]; // the first eight key units, the first one highest
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
    // A million rows' keys: pages of their own, not the heap's (PodBuffer).
    PodBuffer<TextEntry> words;
    std::vector<int> empty;
    PodBuffer<char16_t> keys;
    words.reserve(size_t(n));
    keys.reserve(size_t(n) * 12);
    QString scratch;
    for (int row = 0; row < n; ++row) {
        const auto offset = uint32_t(keys.size());
        const char *utf8 = nullptr;
        size_t bytes = 0;
        char16_t first = 0;
        // Most of a result's texts are not numbers: folded from where they are, no decoding.
        if (!texts.utf8(row, &utf8, &bytes) || !foldUtf8Into(keys, utf8, bytes, &first) || startsNumber(first)) {
            truncate(keys, offset);
            const QStringView s = texts.view(row, scratch);
            if (s.isEmpty()) {
                empty.push_back(row);
                continue;
            }
            if (const std::optional<double> v = numberOf(s)) {
                numbers.push_back({*v, row});
                continue;
            }
            foldInto(keys, s);
        }
        TextEntry e{{0, 0}, offset, uint32_t(keys.size() - offset), row};
        for (size_t k = 0; k < 8; ++k)
            e.head[k / 4] = e.head[k / 4] << 16 | (offset + k < keys.size() ? keys[offset + k] : 0);
        words.push_back(e);
    }
    // Ties keep their old order whichever way the column sorts.
    const auto textLess = [&](const TextEntry &a, const TextEntry &b) {
        int cmp = 0;
        if (a.head[0] != b.head[0])
            cmp = a.head[0] < b.head[0] ? -1 : 1;
        else if (a.head[1] != b.head[1])
            cmp = a.head[1] < b.head[1] ? -1 : 1;
        else
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
