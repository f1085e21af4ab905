#pragma once
#include "PodBuffer.h"
#include <QString>
#include <QStringView>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>

// One cell of a column in six bytes: where its text is in a pool, or a small number held in
// place. A million rows of a dozen columns then cost 72 MB less than a heap string each, and
// the key of a row is never turned into text unless it is shown.
#pragma pack(push, 2)
struct CellRef {
    // The top two bits of the word say what the rest is.
    enum Kind : uint32_t { Pooled = 0, Own = 1u << 30, Number = 2u << 30, Special = 3u << 30 };
    static constexpr uint32_t kKindMask = 3u << 30;
    static constexpr uint32_t kOffsetLimit = 1u << 30;
    // A length this high means the text is longer: its real length is stored in front of it.
    static constexpr uint16_t kLong = 0xFFFF;
    static constexpr qint64 kNumberLimit = qint64(1) << 46;

    uint32_t word = 0;
    uint16_t length = 0;

    Kind kind() const { return Kind(word & kKindMask); }
    uint32_t offset() const { return word & ~kKindMask; }
    static CellRef at(Kind kind, uint32_t offset, uint16_t length) { return CellRef{kind | offset, length}; }

    static bool holds(qint64 v) { return v >= 0 && v < kNumberLimit; }
    static CellRef number(qint64 v) {
        return CellRef{Number | uint32_t(v & (kOffsetLimit - 1)), uint16_t(quint64(v) >> 30)};
    }
    qint64 number() const { return qint64(offset()) | (qint64(length) << 30); }
};
#pragma pack(pop)
static_assert(sizeof(CellRef) == 6);

// The texts a query result hands to the grid: UTF-8, as the database gave them.
using BytePool = PodBuffer<char>;
using SharedBytePool = std::shared_ptr<const BytePool>;

namespace CellText {
// Appends text to a pool of units (UTF-8 bytes or UTF-16), a longer one with its length in
// front; the place it got. Throws std::length_error past what an offset can address.
template <class Unit> CellRef append(PodBuffer<Unit> &pool, CellRef::Kind kind, const Unit *text, size_t n) {
    constexpr size_t kFront = sizeof(uint32_t) / sizeof(Unit);
    const bool isLong = n >= CellRef::kLong;
    const size_t start = pool.size() + (isLong ? kFront : 0);
    if (start + n >= CellRef::kOffsetLimit)
        throw std::length_error("more text than one column or result can hold");
    if (isLong) {
        const auto len = uint32_t(n);
        pool.grow(kFront);
        std::memcpy(pool.data() + start - kFront, &len, sizeof len);
    }
    pool.append(text, n);
    return CellRef::at(kind, uint32_t(start), isLong ? CellRef::kLong : uint16_t(n));
}

// How many units the text at r has in its pool.
template <class Unit> size_t lengthIn(const Unit *pool, CellRef r) {
    if (r.length != CellRef::kLong)
        return r.length;
    uint32_t len = 0;
    std::memcpy(&len, pool + r.offset() - sizeof len / sizeof(Unit), sizeof len);
    return len;
}

// The UTF-8 text into out (its storage reused); ASCII is widened without the decoder.
void decodeInto(QString &out, const char *text, size_t bytes);
// The decimal digits of a number into out.
void numberInto(QString &out, qint64 v);
} // namespace CellText
