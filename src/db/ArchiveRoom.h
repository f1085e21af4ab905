#pragma once
#include <QString>
#include <functional>

// Before anything of an archive is unpacked: the sizes its entries declare, each against a
// bound no file of the program's data comes near, and all together against the free space
// where they are going. A crafted archive (a few bytes that inflate to gigabytes) is refused
// before it can fill the disk.
namespace ArchiveRoom {

// No database or picture of a shop comes near this.
inline constexpr qint64 kMaxEntryBytes = qint64(1) << 30;

// target() gives where an entry (its '/'-separated name) would be written. An empty result
// means the archive fits; otherwise why not, in the user's words.
QString check(const QString &archive, const std::function<QString(const QString &)> &target,
              qint64 maxEntryBytes = kMaxEntryBytes);

} // namespace ArchiveRoom
