#pragma once
#include <QByteArray>
#include <QString>

// While it lives, database files below folder open as a write-protected file opens: the
// engine falls back to reading only, as it does for a read-only attribute or medium. Works
// for any user, root included, which file permissions would not.
class WriteProtect {
public:
    explicit WriteProtect(const QString &folder);
    ~WriteProtect();
    WriteProtect(const WriteProtect &) = delete;
    WriteProtect &operator=(const WriteProtect &) = delete;
};
