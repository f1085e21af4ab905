#pragma once
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringDecoder>
#include <array>

// Reads a delimited postal-code text file as published: UTF-8 or CP949, fields split by
// '|', tab or comma (a comma file may quote its fields), a header line naming the columns.
// Lines that cannot be read are reported with their numbers and skipped.
class PostcodeTextReader {
public:
    enum class Encoding { Auto, Utf8, Cp949 };
    struct Options {
        Encoding encoding = Encoding::Auto;
        QChar delimiter;                // null: the one the header line uses most
        QMap<QString, QString> mapping; // our column (ZIPCODE...) -> the file's header name
    };
    struct BadLine {
        qint64 line = 0;
        QString reason;
    };
    // ZIPCODE, SIDO, GUGUN, DONG, BUNJI.
    using Record = std::array<QString, 5>;

    // The header names each of our columns is known by; BUNJI may be missing.
    static QStringList knownNames(int column);

    // Reads the header line of data (which must outlive the reader); false with the reason.
    bool start(const QByteArray &data, const Options &options, QString *error);
    // The next good record; false at the end.
    bool next(Record &record);

    const QList<BadLine> &badLines() const { return m_bad; }
    Encoding encoding() const { return m_encoding; }
    QChar delimiter() const { return m_delimiter; }

private:
    bool nextLine(QByteArray *line);
    bool decode(const QByteArray &bytes, QString *text);
    QStringList split(const QString &line) const;
    void bad(const QString &reason) { m_bad.append({m_lineNo, reason}); }

    QByteArray m_data;
    qsizetype m_pos = 0;
    qint64 m_lineNo = 0;
    Encoding m_encoding = Encoding::Utf8;
    QChar m_delimiter;
    std::array<int, 5> m_index{};
    int m_fieldCount = 0;
    QStringDecoder m_cp949;
    QList<BadLine> m_bad;
};
