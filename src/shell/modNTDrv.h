#pragma once
#include <QString>

// Mapping the shared database folder to a drive letter.
namespace modNTDrv {
// Connects path to drive (or to the first free letter from H: on); returns the drive ("H:")
// or empty text after telling the user which drive failed.
QString ConnectNetDrive(const QString &path, const QString &password, const QString &drive, bool retry);
bool AddNetDrive(const QString &drive, const QString &path, const QString &password, const QString &user = {});
bool CancelNetDrive(const QString &drive);
} // namespace modNTDrv
