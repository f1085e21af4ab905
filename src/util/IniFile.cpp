#include "IniFile.h"
#include "AnsiCodec.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
bool sameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString unquote(QString v) {
    v = v.trimmed();
    if (v.size() >= 2 && ((v.front() == QLatin1Char('"') && v.back() == QLatin1Char('"')) ||
                          (v.front() == QLatin1Char('\'') && v.back() == QLatin1Char('\''))))
        v = v.mid(1, v.size() - 2);
    return v;
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
        if (eq > 0 && !t.startsWith(QLatin1Char(';')))
            m_sections.back().entries.push_back(Entry{line.left(eq).trimmed(), unquote(line.mid(eq + 1))});
        else
            m_sections.back().entries.push_back(Entry{QString(), line});
    }
}

IniFile::Section *IniFile::find(const QString &section) {
    for (size_t i = 1; i < m_sections.size(); ++i)
        if (sameName(m_sections[i].name, section))
            return &m_sections[i];
    return nullptr;
}

const IniFile::Section *IniFile::find(const QString &section) const {
    return const_cast<IniFile *>(this)->find(section);
}

QString IniFile::value(const QString &section, const QString &key, const QString &defaultValue) const {
    if (const Section *s = find(section))
        for (const Entry &e : s->entries)
            if (!e.key.isEmpty() && sameName(e.key, key))
                return e.value;
    return defaultValue;
}

bool IniFile::contains(const QString &section, const QString &key) const {
    if (const Section *s = find(section))
        for (const Entry &e : s->entries)
            if (!e.key.isEmpty() && sameName(e.key, key))
                return true;
    return false;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value) {
    Section *s = find(section);
    if (!s) {
        m_sections.push_back(Section{section, {}});
        s = &m_sections.back();
    }
    for (Entry &e : s->entries)
        if (!e.key.isEmpty() && sameName(e.key, key)) {
            e.value = value;
            return;
        }
    // New keys go after the last key, before trailing blank lines.
    auto pos = s->entries.end();
    while (pos != s->entries.begin() && std::prev(pos)->key.isEmpty() && std::prev(pos)->value.trimmed().isEmpty())
        --pos;
    s->entries.insert(pos, Entry{key, value});
}

void IniFile::removeKey(const QString &section, const QString &key) {
    if (Section *s = find(section))
        std::erase_if(s->entries, [&](const Entry &e) { return !e.key.isEmpty() && sameName(e.key, key); });
}

void IniFile::removeSection(const QString &section) {
    std::erase_if(m_sections, [&](const Section &s) { return !s.name.isEmpty() && sameName(s.name, section); });
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
            text += (e.key.isEmpty() ? e.value : e.key + QLatin1Char('=') + e.value) + QStringLiteral("\r\n");
    }
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(text.toUtf8());
    return f.commit();
}

QString IniFile::read(const QString &path, const QString &section, const QString &key, const QString &defaultValue) {
    return IniFile(path).value(section, key, defaultValue);
}

bool IniFile::write(const QString &path, const QString &section, const QString &key, const QString &value) {
    IniFile ini(path);
    ini.setValue(section, key, value);
    return ini.save();
}
