#pragma once
#include <QIODevice>
#include <QString>

// A compound file (version 3, 512-byte sectors) holding one stream under the root storage,
// written strictly front to back so that any sequential device will do: the stream's size
// is known before its first byte. Layout: header, the stream's sectors in one run, the
// allocation table, any extra table-of-tables sectors, one directory sector. A stream
// shorter than 4,096 bytes is padded with zeros to 4,096, which keeps it out of the mini stream.
class CompoundFileWriter {
public:
    CompoundFileWriter(QIODevice &out, const QString &streamName, quint64 streamSize);

    // Writes the header; the stream's bytes follow with write().
    bool begin();
    bool write(const char *data, qint64 size);
    // Pads the stream and writes the allocation tables and the directory; fails when the
    // stream did not receive exactly the announced number of bytes.
    bool finish();
    QString errorString() const { return m_error; }

    // Size of the whole file for a stream of the given size.
    static quint64 fileSize(quint64 streamSize);
    // Largest stream this writer accepts.
    static constexpr quint64 kMaxStream = 0xFFFFF000ull;

private:
    struct Layout {
        quint32 streamSectors = 0, fatSectors = 0, difatSectors = 0;
        quint32 firstFat() const { return streamSectors; }
        quint32 firstDifat() const { return streamSectors + fatSectors; }
        quint32 dirSector() const { return streamSectors + fatSectors + difatSectors; }
    };
    static quint64 storedSize(quint64 streamSize);
    static Layout layout(quint64 streamSize);
    bool put(const QByteArray &bytes);
    bool fail(const QString &why);

    QIODevice &m_out;
    QString m_name;
    quint64 m_size;
    quint64 m_written = 0;
    Layout m_layout;
    QString m_error;
};
