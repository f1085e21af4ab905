#include "WriteProtect.h"
#include <QDir>
#include <cstring>
#include <sqlite3.h>

namespace {
sqlite3_vfs *g_base = nullptr;
sqlite3_vfs g_vfs;
QByteArray g_prefix;

int openProtected(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *outFlags) {
    if (name && (flags & SQLITE_OPEN_MAIN_DB) && std::strncmp(name, g_prefix.constData(), size_t(g_prefix.size())) == 0)
        flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
    return g_base->xOpen(g_base, name, file, flags, outFlags);
}
} // namespace

WriteProtect::WriteProtect(const QString &folder) {
    g_base = sqlite3_vfs_find(nullptr);
    g_vfs = *g_base;
    g_vfs.zName = "write-protect";
    g_vfs.xOpen = openProtected;
    g_prefix = QDir(folder).canonicalPath().toUtf8();
    sqlite3_vfs_register(&g_vfs, 1);
}

WriteProtect::~WriteProtect() {
    sqlite3_vfs_register(g_base, 1);
    sqlite3_vfs_unregister(&g_vfs);
}
