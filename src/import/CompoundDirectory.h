#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// The directory of a compound file (the container of .xls and of an encrypted .xlsx): which
// streams it holds, enough to tell an encrypted workbook from an old one or from damage.
namespace CompoundDirectory {

inline const QByteArray kSignature = QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");

// The names of the file's streams and storages in directory order; empty when it is no
// compound file or its directory cannot be followed.
QStringList entries(const QString &file);

// The first bytes (64 at most) of the stream of that name; empty when there is none.
QByteArray streamStart(const QString &file, const QString &stream, int bytes);

// An Office Open XML workbook saved with a password: its package encrypted in the container.
bool isEncryptedPackage(const QStringList &entries);

} // namespace CompoundDirectory
