#include "ImportPlan.h"
#include "HandsetSql.h"
#include "ImportMapping.h"
#include "Recordset.h"
#include "modMDB_Func.h"
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QSet>

namespace ImportPlan {

QString kindLabel(Kind kind) {
    switch (kind) {
    case Kind::Add: return QStringLiteral("추가");
    case Kind::Change: return QStringLiteral("변경");
    case Kind::Same: return QStringLiteral("같음");
    case Kind::Error: return QStringLiteral("오류");
    }
    return {};
}

std::vector<Existing> readCatalogue() {
    Recordset rs;
    if (modMDB_Func::OpenRecordset(rs, HandsetSql::catalogueQuery()) < 0)
        throw AppError(modMDB_Func::errFail, QStringLiteral("핸드폰 목록을 읽지 못했습니다."));
    std::vector<int> fields(HandsetColumns::kFieldCount);
    for (int f = 0; f < HandsetColumns::kFieldCount; ++f)
        fields[size_t(f)] = rs.fieldIndex(HandsetColumns::field(f).columnName());
    const int code = rs.fieldIndex(QStringLiteral("code"));
    std::vector<Existing> out(size_t(rs.recordCount()));
    for (int r = 0; r < rs.recordCount(); ++r) {
        out[size_t(r)].code = rs.at(r, code).toInt();
        for (int f = 0; f < HandsetColumns::kFieldCount; ++f)
            out[size_t(r)].fields[size_t(f)] = rs.rawText(r, fields[size_t(f)]);
    }
    modMDB_Func::CloseObj(rs);
    return out;
}

namespace {
constexpr int kCode = 0, kId = 1, kYear = 2;

// Keys compare as the columns do: letter case ignored.
QString key(const QString &text) { return text.toCaseFolded(); }

bool hasControl(const QString &text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            return false; // most of every file: no table look-up
        return c.unicode() < 0x20 || c.unicode() == 0x7F || c.category() == QChar::Other_Control ||
               c.category() == QChar::Other_NotAssigned || c.isNonCharacter();
    });
}

QString fieldName(int f) { return QString::fromUtf8(HandsetColumns::field(f).header); }

const QString kPictureTypes[] = {QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                 QStringLiteral("png"), QStringLiteral("gif")};

// The picture files of the ID folder, listed once: their names case-folded, since a file
// system may ignore case; a name found this way is then asked of the file system itself.
QSet<QString> pictureNames(const QString &folder) {
    QSet<QString> names;
    if (folder.isEmpty())
        return names;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        names.insert(name.toCaseFolded());
    return names;
}

QString pictureOf(const Input &in, const QSet<QString> &idPictures, const QString &named, const QString &id,
                  QStringList &why) {
    if (!named.isEmpty()) {
        const QString file = QDir(in.pictureFolder).absoluteFilePath(QDir::fromNativeSeparators(named));
        if (!QFileInfo(file).isFile())
            why << QStringLiteral("사진 파일이 없습니다 (%1)").arg(named);
        else if (!QImageReader(file).canRead())
            why << QStringLiteral("사진 파일을 그림으로 읽을 수 없습니다 (%1)").arg(named);
        return file;
    }
    if (in.idPictureFolder.isEmpty() || id.isEmpty() || id.contains(QLatin1Char('/')) ||
        id.contains(QLatin1Char('\\')) || id.startsWith(QLatin1Char('.')))
        return {};
    for (const QString &type : kPictureTypes) {
        const QString name = id + QLatin1Char('.') + type;
        if (!idPictures.contains(name.toCaseFolded()))
            continue;
        const QString file = QDir(in.idPictureFolder).filePath(name);
        if (!QFileInfo(file).isFile())
            continue;
        if (!QImageReader(file).canRead())
            why << QStringLiteral("사진 파일을 그림으로 읽을 수 없습니다 (%1)").arg(name);
        return file;
    }
    return {};
}

class Builder {
public:
    // Only the column rows are matched by is indexed, sized once for the catalogue and the file.
    Builder(const Input &in, const std::vector<Existing> &catalogue, size_t rows)
        : m_in(in), m_catalogue(catalogue), m_idPictures(pictureNames(in.idPictureFolder)) {
        if (in.match == Match::None)
            return;
        const int f = in.match == Match::ByCode ? kCode : kId;
        m_index.reserve(qsizetype(catalogue.size() + rows));
        for (size_t i = 0; i < catalogue.size(); ++i) {
            Key &k = m_index[key(catalogue[i].fields[size_t(f)])];
            k.several = k.handset >= 0;
            k.handset = int(i);
        }
    }

    bool row(int line, const QStringList &cells, Row &out) {
        HandsetColumns::Fields given;
        std::array<bool, HandsetColumns::kFieldCount> mapped{};
        QString pictureName;
        bool any = false;
        for (qsizetype c = 0; c < qsizetype(m_in.mapping.size()); ++c) {
            const int t = m_in.mapping[size_t(c)];
            const QString text = c < cells.size() ? cells[c] : QString();
            if (t == ImportMapping::kUnused)
                continue;
            any = any || !text.isEmpty();
            if (t == ImportMapping::kPicture) {
                pictureName = text;
            } else {
                given[size_t(t)] = text;
                mapped[size_t(t)] = true;
            }
        }
        if (!any)
            return false; // an empty row is no handset
        out.line = m_line = line;
        QStringList why;
        const Existing *found = locate(given, mapped, why);
        out.fields = found ? found->fields : HandsetColumns::Fields{};
        for (int f = 0; f < HandsetColumns::kFieldCount; ++f)
            if (mapped[size_t(f)] && !(f == kCode && (found || m_in.match != Match::ByCode)))
                out.fields[size_t(f)] = given[size_t(f)];
        check(out.fields, found != nullptr, why);
        out.picture = pictureOf(m_in, m_idPictures, pictureName, out.fields[kId], why);
        if (!why.isEmpty()) {
            out.kind = Kind::Error;
            out.reason = why.join(QStringLiteral("; "));
            return true;
        }
        if (!found) {
            out.kind = Kind::Add;
            return true;
        }
        out.code = found->code;
        out.before = found->fields;
        for (int f = 0; f < HandsetColumns::kFieldCount; ++f)
            if (out.fields[size_t(f)] != found->fields[size_t(f)])
                out.changed << fieldName(f);
        if (!out.picture.isEmpty())
            out.changed << QStringLiteral("사진");
        out.kind = out.changed.isEmpty() ? Kind::Same : Kind::Change;
        return true;
    }

private:
    // The handset the row changes; null for a new one (or a refused row, with the reason).
    const Existing *locate(const HandsetColumns::Fields &given,
                           const std::array<bool, HandsetColumns::kFieldCount> &mapped, QStringList &why) {
        if (m_in.match == Match::None)
            return nullptr;
        const int f = m_in.match == Match::ByCode ? kCode : kId;
        const QString k = key(given[size_t(f)]);
        if (!mapped[size_t(f)] || k.isEmpty())
            return nullptr; // a new handset, numbered when it is written
        Key &seen = m_index[k];
        if (seen.line > 0) {
            why << QStringLiteral("파일 안에서 %1이(가) 겹칩니다 (%2행과 같음)").arg(fieldName(f)).arg(seen.line);
            return nullptr;
        }
        seen.line = m_line;
        if (seen.several) {
            why << QStringLiteral("같은 ID의 핸드폰이 여럿 있어 어느 것을 바꿀지 알 수 없습니다");
            return nullptr;
        }
        return seen.handset < 0 ? nullptr : &m_catalogue[size_t(seen.handset)];
    }

    void check(const HandsetColumns::Fields &fields, bool existing, QStringList &why) const {
        for (int f = 0; f < HandsetColumns::kFieldCount; ++f) {
            const HandsetColumns::Column &c = HandsetColumns::field(f);
            const QString &text = fields[size_t(f)];
            // A new handset without a number gets the next one.
            if (c.required && text.isEmpty() && !(f == kCode && !existing)) {
                why << QStringLiteral("[%1] 필수 입력 사항이 비어 있습니다").arg(fieldName(f));
                continue;
            }
            const int longest = f == kCode ? m_in.codeLength : c.maxLength;
            if (longest > 0 && text.size() > longest)
                why << QStringLiteral("[%1] %2자보다 깁니다 (%3자)").arg(fieldName(f)).arg(longest).arg(text.size());
            else if (hasControl(text))
                why << QStringLiteral("[%1] 보이지 않는 제어 문자가 들어 있습니다").arg(fieldName(f));
            if (f == kYear && !text.isEmpty() &&
                !std::all_of(text.begin(), text.end(), [](QChar ch) { return ch >= u'0' && ch <= u'9'; }))
                why << QStringLiteral("[%1] 숫자가 아닙니다 (%2)").arg(fieldName(f), text.left(20));
        }
    }

    const Input &m_in;
    const std::vector<Existing> &m_catalogue;
    const QSet<QString> m_idPictures;
    int m_line = 0;
    // What one key (of the column rows are matched by) stands for: one lookup a row.
    struct Key {
        int handset = -1;     // in the catalogue; -1: none
        bool several = false; // more than one handset has it
        int line = 0;         // the file's row that gave it first; 0: none yet
    };
    QHash<QString, Key> m_index;
};
} // namespace

Plan build(const Input &in, const std::vector<Existing> &catalogue) {
    Plan plan;
    const std::vector<QStringList> &rows = *in.rows;
    const size_t total = rows.size();
    Builder builder(in, catalogue, total);
    plan.rows.reserve(total);
    for (size_t i = size_t(qMax(0, in.headerRows)); i < total; ++i) {
        if ((i & 4095) == 0 && in.progress && !in.progress(int(i * 1000 / total))) {
            plan.cancelled = true;
            plan.rows.clear();
            return plan;
        }
        Row row;
        if (!builder.row(int(i) + 1, rows[i], row))
            continue;
        Counts &n = plan.counts;
        ++(row.kind == Kind::Add      ? n.add
           : row.kind == Kind::Change ? n.change
           : row.kind == Kind::Same   ? n.same
                                      : n.error);
        plan.rows.push_back(std::move(row));
    }
    return plan;
}

} // namespace ImportPlan
