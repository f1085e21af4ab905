#include "ZipBook.h"
#include "CompoundDirectory.h"
#include "SheetData.h"
#include <QFile>
#include <zip.h>

namespace {
// One entry of the archive; the size it claims only guides the progress, the end is where
// the data ends.
class EntryDevice : public QIODevice {
public:
    EntryDevice(zip_file_t *f, qint64 size) : m_file(f), m_size(size) { QIODevice::open(ReadOnly); }
    ~EntryDevice() override { zip_fclose(m_file); }
    bool isSequential() const override { return true; }
    qint64 size() const override { return m_size; }

protected:
    qint64 readData(char *data, qint64 max) override {
        const zip_int64_t n = zip_fread(m_file, data, zip_uint64_t(max));
        if (n < 0)
            setErrorString(QString::fromUtf8(zip_error_strerror(zip_file_get_error(m_file))));
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    zip_file_t *m_file;
    qint64 m_size;
};
} // namespace

ZipBook::ZipBook(const QString &file) {
    int code = 0;
    m_zip = zip_open(QFile::encodeName(file).constData(), ZIP_RDONLY, &code);
    if (m_zip)
        return;
    m_error = code == ZIP_ER_NOENT || code == ZIP_ER_OPEN || code == ZIP_ER_READ
                  ? QStringLiteral("파일을 열 수 없습니다.")
                  : notAWorkbook(file);
}

ZipBook::~ZipBook() {
    if (m_zip)
        zip_discard(m_zip);
}

bool ZipBook::has(const QString &name) const {
    return m_zip && zip_name_locate(m_zip, name.toUtf8().constData(), 0) >= 0;
}

std::unique_ptr<QIODevice> ZipBook::open(const QString &name) const {
    if (!m_zip)
        return nullptr;
    zip_stat_t st;
    if (zip_stat(m_zip, name.toUtf8().constData(), 0, &st) != 0)
        return nullptr;
    zip_file_t *f = zip_fopen_index(m_zip, st.index, 0);
    if (!f)
        return nullptr;
    return std::make_unique<EntryDevice>(f, (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : 0);
}

QString notAWorkbook(const QString &file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("파일을 열 수 없습니다.\r\n") + f.errorString();
    const QString damaged = QStringLiteral("통합 문서 파일이 아니거나 손상되었습니다.");
    // An encrypted workbook is a compound file holding the encrypted package.
    if (!f.read(8).startsWith(CompoundDirectory::kSignature))
        return damaged;
    const QStringList entries = CompoundDirectory::entries(file);
    if (CompoundDirectory::isEncryptedPackage(entries))
        return SheetData::kPasswordProtected;
    if (entries.contains(QLatin1String("Workbook")) || entries.contains(QLatin1String("Book")))
        return QStringLiteral("엑셀 97-2003(.xls) 형식인 파일입니다. 파일 이름을 .xls로 바꾸어 고르세요.");
    return damaged;
}
