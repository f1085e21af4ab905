#pragma once
#include <QByteArray>
#include <QString>

// The Korean ANSI code page (CP949), in which the stored files of the Windows program
// are written and in which some helpers measure characters.
namespace AnsiCodec {
QByteArray encode(const QString &text);
QString decode(const QByteArray &bytes);
// The code of one character in the code page: one byte (0..255) or a double-byte code
// (lead byte * 256 + trail byte). -1 when the code page has no such character.
int charCode(QChar c);
// UTF-8 (with or without a byte-order mark) when the bytes are valid UTF-8, else CP949.
QString decodeFileText(const QByteArray &bytes);
} // namespace AnsiCodec
