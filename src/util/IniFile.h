#pragma once
#include <QString>
#include <QStringList>
#include <vector>

// A profile (INI) file as Windows' profile functions keep it: sections and keys compared
// without regard to case, values trimmed, the file created on the first write. Files written
// by Windows (ANSI code page, CR LF) read the same; we write UTF-8 with CR LF. A save
// replaces the file in one step, so a crash never leaves half a file behind.
class IniFile {
public:
    explicit IniFile(QString path);

    // Reads the file again (a missing or unreadable file reads as empty).
    void reload();
    const QString &path() const { return m_path; }

    QString value(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    bool contains(const QString &section, const QString &key) const;
    void setValue(const QString &section, const QString &key, const QString &value);
    void removeKey(const QString &section, const QString &key);
    void removeSection(const QString &section);
    QStringList sections() const;
    QStringList keys(const QString &section) const;

    // Writes the file (creating its folder); false when it cannot be written.
    bool save() const;

    // One-call forms, each reading (and writing) the file.
    static QString read(const QString &path, const QString &section, const QString &key,
                        const QString &defaultValue = {});
    static bool write(const QString &path, const QString &section, const QString &key, const QString &value);

private:
    struct Entry {
        QString key;   // empty for comment or blank lines kept as they were
        QString value; // or the raw line when key is empty
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
    };
    Section *find(const QString &section);
    const Section *find(const QString &section) const;

    QString m_path;
    std::vector<Section> m_sections; // the first may be the nameless head of the file
};
