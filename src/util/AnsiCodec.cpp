#include "AnsiCodec.h"
#include <QStringDecoder>
#include <QStringEncoder>

namespace AnsiCodec {

QByteArray encode(const QString &text) {
    QStringEncoder enc("windows-949");
    return enc.isValid() ? QByteArray(enc(text)) : text.toLocal8Bit();
}

QString decode(const QByteArray &bytes) {
    QStringDecoder dec("windows-949");
    return dec.isValid() ? QString(dec(bytes)) : QString::fromLocal8Bit(bytes);
}

int charCode(QChar c) {
    if (c.unicode() < 0x80)
        return c.unicode();
    QStringEncoder enc("windows-949", QStringEncoder::Flag::Stateless);
    const QByteArray b = enc(QString(c));
    if (enc.hasError() || b.isEmpty() || b == "?")
        return -1;
    if (b.size() == 1)
        return quint8(b[0]);
    return quint8(b[0]) * 256 + quint8(b[1]);
}

QString decodeFileText(const QByteArray &bytes) {
    QByteArray b = bytes;
    if (b.startsWith("\xEF\xBB\xBF"))
        b.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(b);
    if (!utf8.hasError())
        return text;
    return decode(b);
}

} // namespace AnsiCodec
