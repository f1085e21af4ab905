#pragma once
#include <QIODevice>
#include <QString>
#include <memory>

struct zip;
struct zip_file;

// A zip-packed workbook (.xlsx, .ods): its entries read as devices, so an XML reader pulls
// a sheet through without the whole of it in memory.
class ZipBook {
public:
    explicit ZipBook(const QString &file);
    ~ZipBook();
    ZipBook(const ZipBook &) = delete;
    ZipBook &operator=(const ZipBook &) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    // Why the file did not open, for the user.
    QString error() const { return m_error; }
    bool has(const QString &name) const;
    // The entry as a device open for reading; null when it is missing or unreadable.
    std::unique_ptr<QIODevice> open(const QString &name) const;

private:
    zip *m_zip = nullptr;
    QString m_error;
};

// What the reading of a zip-packed workbook says when the file is no zip at all: a
// password-protected workbook (an encrypted package in a compound file), a .xls under
// another name, or damage.
QString notAWorkbook(const QString &file);
