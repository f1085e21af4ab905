#include "ImportMapping.h"
#include "HandsetColumns.h"
#include <QRegularExpression>

namespace ImportMapping {

namespace {
QString plain(const QString &text) {
    static const QRegularExpression noise(QStringLiteral("[\\s*:()\\[\\]『』]"));
    return QString(text).remove(noise).toLower();
}

QStringList namesOf(int target) {
    if (target == kPicture)
        return {QStringLiteral("사진"), QStringLiteral("사진파일"), QStringLiteral("그림"), QStringLiteral("imgpath")};
    const HandsetColumns::Column &c = HandsetColumns::field(target);
    QStringList names{QString::fromUtf8(c.header), QString::fromUtf8(c.label), c.columnName()};
    if (c.searchLabel)
        names << QString::fromUtf8(c.searchLabel);
    for (QString &n : names)
        n = plain(n);
    return names;
}
} // namespace

QString label(int target) {
    if (target == kPicture)
        return QStringLiteral("사진 파일");
    if (target < 0 || target >= kTargetCount)
        return QStringLiteral("사용 안 함");
    return QString::fromUtf8(HandsetColumns::field(target).header);
}

QStringList choices() {
    QStringList out{label(kUnused)};
    for (int t = 0; t < kTargetCount; ++t)
        out << label(t);
    return out;
}

std::vector<int> guess(const QStringList &header) {
    std::vector<int> mapping(size_t(header.size()), kUnused);
    std::vector<bool> taken(kTargetCount, false);
    for (qsizetype i = 0; i < header.size(); ++i) {
        const QString h = plain(header[i]);
        if (h.isEmpty())
            continue;
        for (int t = 0; t < kTargetCount; ++t)
            if (!taken[size_t(t)] && namesOf(t).contains(h)) {
                mapping[size_t(i)] = t;
                taken[size_t(t)] = true;
                break;
            }
    }
    return mapping;
}

} // namespace ImportMapping
