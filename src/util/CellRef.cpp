#include "CellRef.h"
#include <QStringDecoder>
#include <algorithm>

void CellText::decodeInto(QString &out, const char *text, size_t bytes) {
    // UTF-16 never needs more units than UTF-8 has bytes.
    out.resize(qsizetype(bytes));
    char16_t *units = reinterpret_cast<char16_t *>(out.data());
    size_t i = 0;
    while (i < bytes && static_cast<unsigned char>(text[i]) < 0x80) {
        units[i] = char16_t(text[i]);
        ++i;
    }
    if (i == bytes)
        return;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QChar *end = utf8.appendToBuffer(out.data() + i, QByteArrayView(text + i, qsizetype(bytes - i)));
    out.truncate(end - out.constData());
}

void CellText::numberInto(QString &out, qint64 v) {
    char16_t digits[24];
    quint64 u = v < 0 ? 0 - quint64(v) : quint64(v);
    int n = 24;
    do
        digits[--n] = char16_t(u'0' + u % 10);
    while (u /= 10);
    if (v < 0)
        digits[--n] = u'-';
    out.resize(24 - n);
    std::copy(digits + n, digits + 24, reinterpret_cast<char16_t *>(out.data()));
}
