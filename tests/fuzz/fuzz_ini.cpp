// INI reader: whatever a file holds, a save must read back to the same sections, keys and
// values, a second save must write the same bytes, and a change is stored exactly when
// IniFile::storable says so, touching nothing else.
#include "FuzzSupport.h"
#include "IniFile.h"
#include <QFile>

namespace {
bool sameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QByteArray bytesOf(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every value of a, except skipKey in skipSection, reads the same from b.
void checkSame(const IniFile &a, const IniFile &b, const QString &skipSection = {}, const QString &skipKey = {}) {
    for (const QString &s : a.sections())
        for (const QString &k : a.keys(s)) {
            if (!skipKey.isEmpty() && sameName(s, skipSection) && sameName(k, skipKey))
                continue;
            FUZZ_CHECK(b.contains(s, k));
            FUZZ_CHECK(a.value(s, k) == b.value(s, k));
        }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Fuzz::prompter();
    const QString path = Fuzz::file(QStringLiteral("fuzz.ini"));
    Fuzz::writeFile(path, data, size);

    IniFile original(path);
    const QStringList sections = original.sections();
    for (const QString &s : sections)
        for (const QString &k : original.keys(s))
            FUZZ_CHECK(original.contains(s, k));

    FUZZ_CHECK(original.save());
    const QByteArray first = bytesOf(path);
    IniFile reread(path);
    FUZZ_CHECK(reread.sections() == sections);
    for (const QString &s : sections)
        FUZZ_CHECK(reread.keys(s) == original.keys(s));
    checkSame(original, reread);
    FUZZ_CHECK(reread.save());
    FUZZ_CHECK(bytesOf(path) == first);

    // A change made with a name and a text taken from the input.
    const QString section = sections.isEmpty() ? QStringLiteral("Fuzz") : sections.first();
    const QStringList keys = reread.keys(section);
    const QString key = keys.isEmpty() ? QStringLiteral("FuzzKey") : keys.last();
    const QString value = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size))
                              .section(QLatin1Char('\n'), -1)
                              .left(64);
    const bool storable = IniFile::storable(section, key, value);
    const bool stored = IniFile::update(path, [&](IniFile &ini) { return ini.setValue(section, key, value); });
    FUZZ_CHECK(stored == storable);
    const IniFile changed(path);
    if (stored)
        FUZZ_CHECK(changed.value(section, key) == value);
    else
        FUZZ_CHECK(bytesOf(path) == first);
    checkSame(reread, changed, section, key);
    return 0;
}
