#include "IniFile.h"
#include "AnsiCodec.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QThread>

namespace {
// A save takes milliseconds. A lock older than kLockStaleMs belongs to a writer that died
// on another machine (a dead one on this machine is noticed at once); waiting less than
// that never takes a lock away from a live writer.
constexpr int kLockStaleMs = 6000;
static_assert(IniFile::kLockWaitMs < kLockStaleMs);
// Short polls: QLockFile's own wait backs off to seconds and loses to a writer that saves
// in a loop.
constexpr int kLockPollMs = 5;

bool sameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool wrappedInQuotes(const QString &v) {
    return v.size() >= 2 && ((v.front() == QLatin1Char('"') && v.back() == QLatin1Char('"')) ||
                             (v.front() == QLatin1Char('\'') && v.back() == QLatin1Char('\'')));
}

QString unquote(QString v) {
    v = v.trimmed();
    if (wrappedInQuotes(v))
        v = v.mid(1, v.size() - 2);
    return v;
}

// The reader trims and drops one pair of quotes, so such a value gets a pair of its own.
QString quoted(const QString &v) {
    if (v.isEmpty())
        return v;
    if (v.front().isSpace() || v.back().isSpace() || wrappedInQuotes(v))
        return QLatin1Char('"') + v + QLatin1Char('"');
    return v;
}

bool breaksLine(const QString &s) {
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n')) || s.contains(QChar(0));
}
} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) { reload(); }

void IniFile::reload() {
    m_sections.clear();
    m_sections.push_back(Section{}); // nameless head
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QString text = AnsiCodec::decodeFileText(f.readAll());
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (i == lines.size() - 1 && line.isEmpty())
            break;
        const QString t = line.trimmed();
        if (t.startsWith(QLatin1Char('[')) && t.contains(QLatin1Char(']'))) {
            m_sections.push_back(Section{t.mid(1, t.indexOf(QLatin1Char(']')) - 1).trimmed(), {}});
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        const QString key = eq > 0 ? line.left(eq).trimmed() : QString();
        // A line without a key stays raw, so that a save never brings its text to life.
        if (!key.isEmpty() && !t.startsWith(QLatin1Char(';')))
            m_sections.back().entries.push_back(Entry{key, unquote(line.mid(eq + 1))});
        else
            m_sections.back().entries.push_back(Entry{QString(), line});
    }
}

IniFile::Section *IniFile::find(const QString &section) {
    const QString name = section.trimmed();
    for (size_t i = 1; i < m_sections.size(); ++i)
        if (sameName(m_sections[i].name, name))
            return &m_sections[i];
    return nullptr;
}

const IniFile::Section *IniFile::find(const QString &section) const {
    return const_cast<IniFile *>(this)->find(section);
}

IniFile::Entry *IniFile::findKey(Section &s, const QString &key) {
    const QString name = key.trimmed();
    for (Entry &e : s.entries)
        if (!e.key.isEmpty() && sameName(e.key, name))
            return &e;
    return nullptr;
}

const IniFile::Entry *IniFile::findKey(const Section &s, const QString &key) {
    return findKey(const_cast<Section &>(s), key);
}

QString IniFile::value(const QString &section, const QString &key, const QString &defaultValue) const {
    if (const Section *s = find(section))
        if (const Entry *e = findKey(*s, key))
            return e->value;
    return defaultValue;
}

bool IniFile::contains(const QString &section, const QString &key) const {
    const Section *s = find(section);
    return s && findKey(*s, key);
}

bool IniFile::storable(const QString &section, const QString &key, const QString &value) {
    const QString k = key.trimmed();
    return !breaksLine(value) && !breaksLine(section) && !section.contains(QLatin1Char(']')) && !k.isEmpty() &&
           !breaksLine(key) && !k.contains(QLatin1Char('=')) && !k.startsWith(QLatin1Char('[')) &&
           !k.startsWith(QLatin1Char(';'));
}

bool IniFile::setValue(const QString &section, const QString &key, const QString &value) {
    if (!storable(section, key, value))
        return false;
    Section *s = find(section);
    if (!s) {
        m_sections.push_back(Section{section.trimmed(), {}});
        s = &m_sections.back();
    }
    if (Entry *e = findKey(*s, key)) {
        e->value = value;
        return true;
    }
    // New keys go after the last key, before trailing blank lines.
    auto pos = s->entries.end();
    while (pos != s->entries.begin() && std::prev(pos)->key.isEmpty() && std::prev(pos)->value.trimmed().isEmpty())
        --pos;
    s->entries.insert(pos, Entry{key.trimmed(), value});
    return true;
}

void IniFile::removeKey(const QString &section, const QString &key) {
    const QString name = key.trimmed();
    if (Section *s = find(section))
        std::erase_if(s->entries, [&](const Entry &e) { return !e.key.isEmpty() && sameName(e.key, name); });
}

void IniFile::removeSection(const QString &section) {
    const QString name = section.trimmed();
    std::erase_if(m_sections, [&](const Section &s) { return !s.name.isEmpty() && sameName(s.name, name); });
    if (m_sections.empty() || !m_sections.front().name.isEmpty())
        m_sections.insert(m_sections.begin(), Section{});
}

QStringList IniFile::sections() const {
    QStringList out;
    for (size_t i = 1; i < m_sections.size(); ++i)
        out << m_sections[i].name;
    return out;
}

QStringList IniFile::keys(const QString &section) const {
    QStringList out;
    if (const Section *s = find(section))
        for (const Entry &e : s->entries)
            if (!e.key.isEmpty())
                out << e.key;
    return out;
}

bool IniFile::save() const {
    QString text;
    for (size_t i = 0; i < m_sections.size(); ++i) {
        const Section &s = m_sections[i];
        if (i > 0)
            text += QLatin1Char('[') + s.name + QStringLiteral("]\r\n");
        for (const Entry &e : s.entries)
            text += (e.key.isEmpty() ? e.value : e.key + QLatin1Char('=') + quoted(e.value)) + QStringLiteral("\r\n");
    }
    QByteArray bytes = text.toUtf8();
    // The reader drops one byte-order mark; text that begins with one keeps it.
    if (text.startsWith(QChar(0xFEFF)))
        bytes.prepend("\xEF\xBB\xBF");
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(bytes);
    return f.commit();
}

bool IniFile::update(const QString &path, const std::function<bool(IniFile &)> &change, int lockWaitMs) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.setStaleLockTime(kLockStaleMs);
    const QDeadlineTimer deadline(lockWaitMs);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            return false;
        QThread::msleep(kLockPollMs);
    }
    IniFile ini(path); // read under the lock: what another writer saved a moment ago counts
    return change(ini) && ini.save();
}

QString IniFile::read(const QString &path, const QString &section, const QString &key, const QString &defaultValue) {
    return IniFile(path).value(section, key, defaultValue);
}

bool IniFile::write(const QString &path, const QString &section, const QString &key, const QString &value) {
    if (!storable(section, key, value))
        return false;
    return update(path, [&](IniFile &ini) { return ini.setValue(section, key, value); });
}
