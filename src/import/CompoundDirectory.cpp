#include "CompoundDirectory.h"
#include <QFile>
#include <QtEndian>
#include <vector>

namespace CompoundDirectory {

namespace {
constexpr quint32 kLastRegularSector = 0xFFFFFFFA;
constexpr int kHeaderFatEntries = 109, kEntrySize = 128;

quint32 u32(const QByteArray &b, qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); }

// Sector n as bytes; empty past the file's end.
QByteArray sector(QFile &f, quint32 n, int shift) {
    if (n > kLastRegularSector || !f.seek((qint64(n) + 1) << shift))
        return {};
    const QByteArray b = f.read(qint64(1) << shift);
    return b.size() == (qsizetype(1) << shift) ? b : QByteArray();
}
} // namespace

QStringList entries(const QString &file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray header = f.read(512);
    if (header.size() < 512 || !header.startsWith(kSignature))
        return {};
    const int shift = qFromLittleEndian<quint16>(header.constData() + 0x1E);
    if (shift != 9 && shift != 12)
        return {};
    const quint32 perSector = (quint32(1) << shift) / 4;
    // Every sector is visited once at most: a chain that loops ends there.
    const quint64 sectors = quint64(f.size() >> shift) + 1;
    // The FAT's own sectors: the first 109 in the header, the rest in a chain of DIFAT sectors.
    std::vector<quint32> fatSectors;
    for (int i = 0; i < kHeaderFatEntries; ++i)
        if (const quint32 s = u32(header, 0x4C + 4 * i); s <= kLastRegularSector)
            fatSectors.push_back(s);
    for (quint32 s = u32(header, 0x44); s <= kLastRegularSector && fatSectors.size() < sectors;) {
        const QByteArray d = sector(f, s, shift);
        if (d.isEmpty())
            return {};
        for (quint32 i = 0; i + 1 < perSector; ++i)
            if (const quint32 v = u32(d, 4 * i); v <= kLastRegularSector)
                fatSectors.push_back(v);
        s = u32(d, qsizetype(4 * (perSector - 1)));
    }
    std::vector<quint32> fat;
    for (quint32 s : fatSectors) {
        const QByteArray d = sector(f, s, shift);
        if (d.isEmpty())
            return {};
        for (quint32 i = 0; i < perSector; ++i)
            fat.push_back(u32(d, 4 * i));
    }
    QStringList names;
    quint64 visited = 0;
    for (quint32 s = u32(header, 0x30); s <= kLastRegularSector; s = s < fat.size() ? fat[s] : quint32(~0u)) {
        const QByteArray d = sector(f, s, shift);
        if (d.isEmpty() || ++visited > sectors)
            return {};
        for (qsizetype at = 0; at + kEntrySize <= d.size(); at += kEntrySize) {
            const int bytes = qFromLittleEndian<quint16>(d.constData() + at + 0x40);
            const int type = quint8(d[at + 0x42]);
            if (type == 0 || bytes < 2 || bytes > 64)
                continue; // an unused entry
            names << QString::fromUtf16(reinterpret_cast<const char16_t *>(d.constData() + at), bytes / 2 - 1);
        }
    }
    return names;
}

bool isEncryptedPackage(const QStringList &entries) {
    return entries.contains(QLatin1String("EncryptionInfo")) && entries.contains(QLatin1String("EncryptedPackage"));
}

} // namespace CompoundDirectory
