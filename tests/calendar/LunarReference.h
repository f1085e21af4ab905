#pragma once
#include <QString>
#include <optional>

// The conversions done the slow, literal way: every call re-sums the month table from 1841
// and walks solar years and months one at a time. The fast Convlunar must agree with it on
// every input, the unvalidated ones too. It reads the program's own table, so it checks the
// arithmetic, not the table (ICU's calendar checks that). Empty result where the conversion
// must fail.
namespace LunarReference {
std::optional<QString> sol2lun(int year, int month, int day);
std::optional<QString> lun2sol(int year, int month, int day);
} // namespace LunarReference
