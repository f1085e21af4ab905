#pragma once
#include <QString>
#include <QStringList>
#include <vector>

// Which handset column each column of the file fills: one of the nine entry fields, the
// picture file, or none.
namespace ImportMapping {

inline constexpr int kUnused = -1;
inline constexpr int kPicture = 9; // after the entry fields 0..8
inline constexpr int kTargetCount = 10;

// "사용 안 함" first, then the targets in order: what the mapping's choice boxes list.
QStringList choices();
// The target's label as the list's grid heads its column ("사용 안 함" for kUnused).
QString label(int target);
// Guessed from the header texts: the list's grid headers (what F8 writes), the entry
// window's labels, the search labels and the database names, spaces and marks ignored. A
// target goes to the first column that names it.
std::vector<int> guess(const QStringList &header);

} // namespace ImportMapping
