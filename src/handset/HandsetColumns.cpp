#include "HandsetColumns.h"
#include <algorithm>

namespace HandsetColumns {

namespace {
constexpr int kBoth = ListLookup | EntryLookup;
// mcode's length is gCodeLength's default; the entry window follows gCodeLength itself.
constexpr Column kColumns[] = {
    {"code", -1, nullptr, false, 0, "code", 11, 0, nullptr, Match::None, NoLookup},
    {"mcode", 0, "관리번호", true, 6, "관리번호", 1, 9.58, nullptr, Match::None, NoLookup},
    {"mid", 1, "   ID   ", true, 20, "ID", 2, 11.83, "ID:", Match::Contains, NoLookup},
    {"makeyear", 2, "출시년도", true, 10, "출시년도", 3, 7.62, "출시년도:", Match::Contains, kBoth},
    {"makecom", 3, "제조회사", false, 30, "제조회사", 4, 15.25, "제조회사:", Match::Exact, kBoth},
    {"opentype", 4, "여는방식", false, 30, "여는방식", 5, 10.75, "여는방식:", Match::Exact, kBoth},
    {"ant", 5, "안 테 나", false, 50, "안테나형태", 6, 11.58, "안테나:", Match::Exact, kBoth},
    {"model", 6, "모 델 명", false, 100, "모델명", 7, 13.25, "모델명:", Match::Contains, NoLookup},
    {"sar", 7, "S A R 값", false, 50, "SAR값", 8, 10.08, "SAR값:", Match::Contains, NoLookup},
    {"nick", 8, "애    칭", false, 100, "애칭", 9, 11.25, "애칭:", Match::Contains, ListLookup},
    {"imgpath", -1, nullptr, false, 0, "사진", 10, 16.75, nullptr, Match::None, NoLookup},
    {"bigo", -1, nullptr, false, 0, nullptr, 0, 0, nullptr, Match::None, NoLookup},
};
} // namespace

QString Column::entryLabel() const { return (required ? QStringLiteral("*") : QString()) + QString::fromUtf8(label); }

QString Column::requiredName() const { return QString::fromUtf8(label).trimmed(); }

std::span<const Column> all() { return kColumns; }

const Column &field(int f) {
    const auto it =
        std::find_if(std::begin(kColumns), std::end(kColumns), [f](const Column &c) { return c.field == f; });
    Q_ASSERT(f >= 0 && it != std::end(kColumns));
    return *it;
}

const Column *find(const QString &name) {
    for (const Column &c : kColumns)
        if (name.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

int gridColumn(const QString &name) {
    const Column *c = find(name);
    return c ? c->gridCol : 0;
}

int maxLength(const QString &name) {
    const Column *c = find(name);
    return c ? c->maxLength : 0;
}

int gridColumnCount() {
    return std::max_element(std::begin(kColumns), std::end(kColumns),
                            [](const Column &a, const Column &b) { return a.gridCol < b.gridCol; })
        ->gridCol;
}

} // namespace HandsetColumns
