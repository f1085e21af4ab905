#include "CompoundFile.h"
#include <QtEndian>
#include <algorithm>

namespace {
constexpr quint32 kSector = 512;
constexpr quint32 kIdsPerSector = kSector / 4;
constexpr quint32 kHeaderFatIds = 109;
constexpr quint32 kMiniCutoff = 4096;
constexpr quint32 kFree = 0xFFFFFFFF, kEnd = 0xFFFFFFFE, kFatSect = 0xFFFFFFFD, kDifSect = 0xFFFFFFFC;
constexpr quint32 kNoStream = 0xFFFFFFFF;

void put16(QByteArray &b, int at, quint16 v) { qToLittleEndian(v, b.data() + at); }
void put32(QByteArray &b, int at, quint32 v) { qToLittleEndian(v, b.data() + at); }

QByteArray idSector() { return QByteArray(int(kSector), char(0xFF)); }

// One 128-byte directory entry; an empty name makes an unused one.
QByteArray dirEntry(const QString &name, quint8 type, quint32 child, quint32 start, quint64 size) {
    QByteArray e(128, 0);
    const QString n = name.left(31);
    for (int i = 0; i < n.size(); ++i)
        put16(e, 2 * i, n.at(i).unicode());
    put16(e, 64, quint16(n.isEmpty() ? 0 : 2 * (n.size() + 1)));
    e[66] = char(type);
    e[67] = char(type ? 1 : 0); // black: a one-node tree needs no red
    put32(e, 68, kNoStream);
    put32(e, 72, kNoStream);
    put32(e, 76, child);
    put32(e, 116, start);
    put32(e, 120, quint32(size));
    put32(e, 124, quint32(size >> 32));
    return e;
}
} // namespace

CompoundFileWriter::CompoundFileWriter(QIODevice &out, const QString &streamName, quint64 streamSize)
    : m_out(out), m_name(streamName), m_size(streamSize), m_layout(layout(streamSize)) {}

quint64 CompoundFileWriter::storedSize(quint64 streamSize) { return std::max<quint64>(streamSize, kMiniCutoff); }

CompoundFileWriter::Layout CompoundFileWriter::layout(quint64 streamSize) {
    Layout l;
    l.streamSectors = quint32((storedSize(streamSize) + kSector - 1) / kSector);
    // The tables cover their own sectors too: grow them until they do.
    for (;;) {
        const quint64 sectors = quint64(l.streamSectors) + l.fatSectors + l.difatSectors + 1;
        const auto fat = quint32((sectors + kIdsPerSector - 1) / kIdsPerSector);
        const quint32 difat = fat > kHeaderFatIds ? (fat - kHeaderFatIds + kIdsPerSector - 2) / (kIdsPerSector - 1) : 0;
        if (fat == l.fatSectors && difat == l.difatSectors)
            return l;
        l.fatSectors = fat;
        l.difatSectors = difat;
    }
}

quint64 CompoundFileWriter::fileSize(quint64 streamSize) {
    const Layout l = layout(streamSize);
    return kSector * (quint64(l.dirSector()) + 2);
}

bool CompoundFileWriter::fail(const QString &why) {
    if (m_error.isEmpty())
        m_error = why;
    return false;
}

bool CompoundFileWriter::put(const QByteArray &bytes) {
    if (!m_error.isEmpty())
        return false;
    if (m_out.write(bytes) != bytes.size())
        return fail(m_out.errorString().isEmpty() ? QStringLiteral("쓰기 실패") : m_out.errorString());
    return true;
}

bool CompoundFileWriter::begin() {
    if (m_size > kMaxStream)
        return fail(QStringLiteral("파일이 너무 큽니다"));
    QByteArray h(int(kSector), 0);
    static const char signature[8] = {char(0xD0), char(0xCF), 0x11, char(0xE0),
                                      char(0xA1), char(0xB1), 0x1A, char(0xE1)};
    std::copy(signature, signature + 8, h.data());
    put16(h, 24, 0x003E);
    put16(h, 26, 3);
    put16(h, 28, 0xFFFE);
    put16(h, 30, 9);
    put16(h, 32, 6);
    put32(h, 44, m_layout.fatSectors);
    put32(h, 48, m_layout.dirSector());
    put32(h, 56, kMiniCutoff);
    put32(h, 60, kEnd);
    put32(h, 68, m_layout.difatSectors ? m_layout.firstDifat() : kEnd);
    put32(h, 72, m_layout.difatSectors);
    for (quint32 i = 0; i < kHeaderFatIds; ++i)
        put32(h, int(76 + 4 * i), i < m_layout.fatSectors ? m_layout.firstFat() + i : kFree);
    return put(h);
}

bool CompoundFileWriter::write(const char *data, qint64 size) {
    if (!m_error.isEmpty())
        return false;
    if (size < 0 || m_written + quint64(size) > m_size)
        return fail(QStringLiteral("스트림 크기 초과"));
    if (m_out.write(data, size) != size)
        return fail(m_out.errorString().isEmpty() ? QStringLiteral("쓰기 실패") : m_out.errorString());
    m_written += quint64(size);
    return true;
}

bool CompoundFileWriter::finish() {
    if (!m_error.isEmpty())
        return false;
    if (m_written != m_size)
        return fail(QStringLiteral("스트림 크기 불일치"));
    quint64 pad = quint64(m_layout.streamSectors) * kSector - m_size;
    const QByteArray zeros(int(kSector) * 8, 0);
    while (pad > 0) {
        const auto n = int(std::min<quint64>(pad, quint64(zeros.size())));
        if (!put(zeros.left(n)))
            return false;
        pad -= quint64(n);
    }

    // Allocation table, one sector at a time: the stream's chain, then the tables' own marks.
    const Layout &l = m_layout;
    for (quint32 s = 0; s < l.fatSectors; ++s) {
        QByteArray sector = idSector();
        for (quint32 i = 0; i < kIdsPerSector; ++i) {
            const quint32 id = s * kIdsPerSector + i;
            quint32 v = kFree;
            if (id < l.streamSectors)
                v = id + 1 == l.streamSectors ? kEnd : id + 1;
            else if (id < l.firstDifat())
                v = kFatSect;
            else if (id < l.dirSector())
                v = kDifSect;
            else if (id == l.dirSector())
                v = kEnd;
            put32(sector, int(4 * i), v);
        }
        if (!put(sector))
            return false;
    }
    // Allocation-table sectors beyond the header's 109, 127 to a sector plus a link.
    for (quint32 d = 0; d < l.difatSectors; ++d) {
        QByteArray sector = idSector();
        for (quint32 i = 0; i < kIdsPerSector - 1; ++i) {
            const quint32 fat = kHeaderFatIds + d * (kIdsPerSector - 1) + i;
            if (fat < l.fatSectors)
                put32(sector, int(4 * i), l.firstFat() + fat);
        }
        put32(sector, int(kSector - 4), d + 1 < l.difatSectors ? l.firstDifat() + d + 1 : kEnd);
        if (!put(sector))
            return false;
    }
    QByteArray dir = dirEntry(QStringLiteral("Root Entry"), 5, 1, kEnd, 0);
    dir += dirEntry(m_name, 2, kNoStream, 0, storedSize(m_size));
    dir += dirEntry(QString(), 0, kNoStream, 0, 0);
    dir += dirEntry(QString(), 0, kNoStream, 0, 0);
    return put(dir);
}
