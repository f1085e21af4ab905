#include "PostcodeFiles.h"
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace PostcodeFiles {

bool replaceFile(const QString &from, const QString &to, QString *error) {
    std::error_code ec;
    std::filesystem::rename(QFileInfo(from).filesystemFilePath(), QFileInfo(to).filesystemFilePath(), ec);
    if (ec && error)
        *error =
            QStringLiteral("'%1' 파일을 바꿀 수 없습니다: %2").arg(to, QString::fromLocal8Bit(ec.message().c_str()));
    return !ec;
}

void removeDatabaseFile(const QString &file) {
    QFile::remove(file);
    QFile::remove(file + QStringLiteral("-journal"));
}

} // namespace PostcodeFiles
