#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// A profile (INI) file as Windows' profile functions keep it: sections and keys compared
// without regard to case, values trimmed and one pair of surrounding quotes dropped, the
// file created on the first write. Files written by Windows (ANSI code page, CR LF) read
// the same; we write UTF-8 with CR LF. A save replaces the file in one step, so a crash
// never leaves half a file behind.
class IniFile {
public:
    explicit IniFile(QString path);

    // Reads the file again (a missing or unreadable file reads as empty).
    void reload();
    const QString &path() const { return m_path; }

    QString value(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    bool contains(const QString &section, const QString &key) const;
    // False, changing nothing, for what would not read back as given: a value holding CR,
    // LF or NUL; a key that is blank, holds '=', CR, LF or NUL or starts with '[' or ';'; a
    // section name holding ']', CR, LF or NUL.
    bool setValue(const QString &section, const QString &key, const QString &value);
    static bool storable(const QString &section, const QString &key, const QString &value);
    void removeKey(const QString &section, const QString &key);
    void removeSection(const QString &section);
    QStringList sections() const;
    QStringList keys(const QString &section) const;

    // Writes the file (creating its folder); false when it cannot be written. Not guarded
    // against other writers: a shared file is changed through update().
    bool save() const;

    // Reads, changes and saves the file while holding "<path>.lock" against other processes
    // and threads. False when the lock is not had within lockWaitMs (5 s: longer than any
    // save, shorter than the time after which a lock counts as stale), when change returns
    // false (nothing is saved then) or when the save fails.
    static constexpr int kLockWaitMs = 5000;
    static bool update(const QString &path, const std::function<bool(IniFile &)> &change, int lockWaitMs = kLockWaitMs);

    // One-call forms; write goes through update().
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
    static Entry *findKey(Section &s, const QString &key);
    static const Entry *findKey(const Section &s, const QString &key);

    QString m_path;
    std::vector<Section> m_sections; // the first may be the nameless head of the file
};
