#include "FuzzSupport.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace Fuzz {

SilentPrompter &prompter() {
    static SilentPrompter p;
    static const bool installed = (Prompter::install(&p), true);
    (void)installed;
    return p;
}

QString file(const QString &name) {
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                       ? QStringLiteral("/dev/shm/mobileshop-fuzz-XXXXXX")
                                       : QDir::tempPath() + QStringLiteral("/mobileshop-fuzz-XXXXXX"));
    return dir.path() + QLatin1Char('/') + name;
}

void writeFile(const QString &path, const uint8_t *data, size_t size) {
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(f.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
}

} // namespace Fuzz
