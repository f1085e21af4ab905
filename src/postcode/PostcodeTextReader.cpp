#include "PostcodeTextReader.h"
#include "PostcodeSql.h"
#include <QUtf8StringView>

namespace {
const char *const kNames[5][5] = {
    {"ZIPCODE", "우편번호", "구역번호", "ZIP", nullptr}, {"SIDO", "시도", "시도명", nullptr, nullptr},
    {"GUGUN", "시군구", "시군구명", "구군", nullptr},    {"DONG", "읍면동", "읍면동명", "동", nullptr},
    {"BUNJI", "번지", "지번", nullptr, nullptr},
};

bool validCode(const QString &code) {
    if (code.isEmpty() || code.size() > 10)
        return false;
    for (QChar c : code)
        if (!(c.isDigit() && c.unicode() < 0x80) && c != QLatin1Char('-'))
            return false;
    return true;
}
} // namespace

QStringList PostcodeTextReader::knownNames(int column) {
    QStringList names;
    for (const char *n : kNames[column])
        if (n)
            names << QString::fromUtf8(n);
    return names;
}

bool PostcodeTextReader::start(const QByteArray &data, const Options &options, QString *error) {
    m_data = data;
    m_pos = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    m_lineNo = 0;
    m_bad.clear();
    m_encoding = options.encoding;
    if (m_encoding == Encoding::Auto)
        m_encoding = QUtf8StringView(data).isValidUtf8() ? Encoding::Utf8 : Encoding::Cp949;
    if (m_encoding == Encoding::Cp949) {
        m_cp949 = QStringDecoder("windows-949", QStringDecoder::Flag::Stateless);
        if (!m_cp949.isValid()) {
            *error = QStringLiteral("이 컴퓨터에서는 CP949 글자를 읽을 수 없습니다.");
            return false;
        }
    }
    QByteArray bytes;
    QString header;
    if (!nextLine(&bytes) || !decode(bytes, &header) || header.trimmed().isEmpty()) {
        *error = QStringLiteral("첫 줄에 열 이름이 없습니다.");
        return false;
    }
    m_delimiter = options.delimiter;
    if (m_delimiter.isNull()) {
        int best = 0;
        for (QChar d : {QLatin1Char('|'), QLatin1Char('\t'), QLatin1Char(',')})
            if (const int n = int(header.count(d)); n > best) {
                best = n;
                m_delimiter = d;
            }
        if (m_delimiter.isNull()) {
            *error = QStringLiteral("첫 줄에서 구분 문자('|', 탭, 쉼표)를 찾을 수 없습니다.");
            return false;
        }
    }
    QStringList names = split(header);
    for (QString &n : names)
        n = n.trimmed();
    m_fieldCount = int(names.size());
    for (int c = 0; c < 5; ++c) {
        const QString ours = PostcodeSql::kColumns[c];
        const QStringList wanted =
            options.mapping.contains(ours) ? QStringList{options.mapping.value(ours)} : knownNames(c);
        m_index[size_t(c)] = -1;
        for (const QString &w : wanted) {
            for (int i = 0; i < names.size() && m_index[size_t(c)] < 0; ++i)
                if (names[i].compare(w, Qt::CaseInsensitive) == 0)
                    m_index[size_t(c)] = i;
            if (m_index[size_t(c)] >= 0)
                break;
        }
        if (m_index[size_t(c)] < 0 && (c != 4 || options.mapping.contains(ours))) {
            *error = QStringLiteral("첫 줄에 %1 열(%2)이 없습니다. 열 이름: %3")
                         .arg(ours, wanted.join(QStringLiteral(", ")), names.join(QStringLiteral(", ")));
            return false;
        }
    }
    return true;
}

bool PostcodeTextReader::next(Record &record) {
    QByteArray bytes;
    QString line;
    while (nextLine(&bytes)) {
        if (!decode(bytes, &line)) {
            bad(QStringLiteral("읽을 수 없는 글자가 있습니다."));
            continue;
        }
        if (line.trimmed().isEmpty())
            continue;
        const QStringList fields = split(line);
        if (fields.size() != m_fieldCount) {
            bad(QStringLiteral("칸이 %1개입니다(첫 줄은 %2개).").arg(fields.size()).arg(m_fieldCount));
            continue;
        }
        for (int c = 0; c < 5; ++c)
            record[size_t(c)] = m_index[size_t(c)] < 0 ? QString() : fields[m_index[size_t(c)]].trimmed();
        if (!validCode(record[0])) {
            bad(QStringLiteral("우편번호 '%1'이(가) 올바르지 않습니다.").arg(record[0]));
            continue;
        }
        if (record[3].isEmpty()) {
            bad(QStringLiteral("읍/면/동이 비어 있습니다."));
            continue;
        }
        return true;
    }
    return false;
}

bool PostcodeTextReader::nextLine(QByteArray *line) {
    if (m_pos >= m_data.size())
        return false;
    qsizetype end = m_data.indexOf('\n', m_pos);
    if (end < 0)
        end = m_data.size();
    qsizetype stop = end;
    if (stop > m_pos && m_data[stop - 1] == '\r')
        --stop;
    *line = QByteArray::fromRawData(m_data.constData() + m_pos, stop - m_pos);
    m_pos = end + 1;
    ++m_lineNo;
    return true;
}

bool PostcodeTextReader::decode(const QByteArray &bytes, QString *text) {
    if (m_encoding == Encoding::Utf8) {
        if (!QUtf8StringView(bytes).isValidUtf8())
            return false;
        *text = QString::fromUtf8(bytes);
        return true;
    }
    *text = m_cp949(bytes);
    return !m_cp949.hasError();
}

QStringList PostcodeTextReader::split(const QString &line) const {
    if (!line.contains(QLatin1Char('"')))
        return line.split(m_delimiter);
    // Quoted fields may hold the delimiter; "" inside stands for one quote.
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"') && field.trimmed().isEmpty()) {
            quoted = true;
            field.clear();
        } else if (c == m_delimiter) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}
