#include "mdlCommonKV.h"
#include "AnsiCodec.h"
#include "ErrorBox.h"
#include <QLocale>
#include <array>
#include <cmath>

namespace mdlCommonKV {

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::array<int, 256> decodingTable() {
    std::array<int, 256> t;
    t.fill(-1);
    for (int i = 0; i < 64; ++i)
        t[quint8(kAlphabet[i])] = i;
    t['='] = 64;
    return t;
}
} // namespace

QString EncodeStr(const QString &text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text) {
        const int code = AnsiCodec::charCode(c);
        if (code < 0 || code > 255) {
            ErrorBox::report(AppError(6, QStringLiteral("오버플로"), QStringLiteral("EncodeStr")));
            return {};
        }
        bytes.append(char(code));
    }
    QString out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (qsizetype i = 0; i < bytes.size(); i += 3) {
        const qsizetype left = bytes.size() - i;
        const quint32 b0 = quint8(bytes[i]);
        const quint32 b1 = left > 1 ? quint8(bytes[i + 1]) : 0;
        const quint32 b2 = left > 2 ? quint8(bytes[i + 2]) : 0;
        const quint32 v = (b0 << 16) | (b1 << 8) | b2;
        out += QLatin1Char(kAlphabet[(v >> 18) & 63]);
        out += QLatin1Char(kAlphabet[(v >> 12) & 63]);
        out += left > 1 ? QLatin1Char(kAlphabet[(v >> 6) & 63]) : QLatin1Char('=');
        out += left > 2 ? QLatin1Char(kAlphabet[v & 63]) : QLatin1Char('=');
    }
    return out;
}

QString DecodeStr(const QString &text) {
    const auto invalid = [] {
        ErrorBox::report(AppError(9, QStringLiteral("첨자 사용이 잘못되었습니다."), QStringLiteral("DecodeStr")));
        return QString();
    };
    // A cut-off group would lose its bytes without a word.
    if (text.size() % 4 != 0)
        return invalid();
    const std::array<int, 256> table = decodingTable();
    QByteArray out;
    const qsizetype groups = text.size() / 4;
    out.reserve(groups * 3);
    for (qsizetype g = 0; g < groups; ++g) {
        int v[4];
        for (int k = 0; k < 4; ++k) {
            const ushort ch = text[g * 4 + k].unicode();
            v[k] = ch < 256 ? table[ch] : -1;
            if (v[k] < 0)
                return invalid();
        }
        // Padding only closes the text: "xx==" or "xxx=" as its last group.
        const bool padded = v[2] == 64 || v[3] == 64;
        if (v[0] == 64 || v[1] == 64 || (v[2] == 64 && v[3] != 64) || (padded && g != groups - 1))
            return invalid();
        const quint32 bits =
            (quint32(v[0] & 63) << 18) | (quint32(v[1] & 63) << 12) | (quint32(v[2] & 63) << 6) | quint32(v[3] & 63);
        out.append(char((bits >> 16) & 0xFF));
        out.append(char((bits >> 8) & 0xFF));
        out.append(char(bits & 0xFF));
        if (v[3] == 64) {
            out.chop(1);
            if (v[2] == 64)
                out.chop(1);
        }
    }
    return AnsiCodec::decode(out);
}

QString GetDecFormat(int decimals, bool thousands, bool showZero) {
    const QString base = (showZero || decimals > 0) ? QStringLiteral("0") : QStringLiteral("#");
    QString pattern = thousands ? QStringLiteral("#,##") + base : base;
    if (decimals > 0)
        pattern += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
    return pattern;
}

QString FormatNum(double value, int decimals, bool thousands, bool showZero) {
    if (!showZero && value == 0)
        return {};
    if (value == std::round(value))
        decimals = 0;
    const QString pattern = GetDecFormat(decimals, thousands, showZero);
    const double shown = std::round(value * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
    // A pattern ending in "#" shows nothing for a value that rounds to zero.
    if (pattern.endsWith(QLatin1Char('#')) && shown == 0)
        return {};
    QLocale locale;
    locale.setNumberOptions(thousands ? QLocale::DefaultNumberOptions : QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', qMax(0, decimals));
}

} // namespace mdlCommonKV
