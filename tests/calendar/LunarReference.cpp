#include "LunarReference.h"
#include "LunarMonthTable.h"
#include <vector>

namespace {

struct OutOfTable {};

int code(long long index) {
    if (index < 0 || index >= LunarMonthTable::kEntries)
        throw OutOfTable{};
    return LunarMonthTable::kRows[index / 12][index % 12] - '0';
}

int days(int c) {
    static const int perCode[] = {0, 29, 30, 58, 59, 59, 60};
    return perCode[c];
}

bool leap(int y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

QString text(int y, int m, int d) { return QString::asprintf("%04d-%02d-%02d", y, m, d); }

} // namespace

namespace LunarReference {

std::optional<QString> sol2lun(int y, int m, int d) {
    try {
        if (y < 1841)
            y = 1841;
        int monthDays[] = {31, leap(y) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        long long dayNumber = (y - 1) * 365LL + (y - 1) / 4 - (y - 1) / 100 + (y - 1) / 400;
        for (int k = 0; k <= m - 2; ++k) {
            if (k >= 12)
                throw OutOfTable{};
            dayNumber += monthDays[k];
        }
        dayNumber += d;
        long long r = dayNumber - 672068;
        std::vector<int> yearDays;
        for (int i = 0; i <= y - 1841; ++i) {
            int sum = 0;
            for (int j = 0; j < 12; ++j)
                sum += days(code(i * 12LL + j));
            yearDays.push_back(sum);
        }
        if (r < 1)
            throw OutOfTable{}; // before the epoch
        size_t i = 0;
        while (true) {
            if (i >= yearDays.size())
                throw OutOfTable{};
            if (r <= yearDays[i])
                break;
            r -= yearDays[i++];
        }
        int j = 0;
        while (true) {
            const int c = code(i * 12LL + j);
            if (c <= 2) {
                if (r > c + 28) {
                    r -= c + 28;
                    ++j;
                    continue;
                }
                break;
            }
            const int s = (c == 5 || c == 6) ? 30 : 29;
            const int u = (c == 4 || c == 6) ? 30 : 29;
            if (r <= s)
                break;
            r -= s;
            if (r > u) {
                r -= u;
                ++j;
                continue;
            }
            break;
        }
        return text(1841 + int(i), j + 1, int(r));
    } catch (OutOfTable) {
        return std::nullopt;
    }
}

std::optional<QString> lun2sol(int y, int m, int d) {
    try {
        const long long iY = y - 1841;
        const long long iM = m - 1;
        code(iY * 12 + iM);
        long long t = 0;
        for (long long yy = 0; yy < iY; ++yy)
            for (int j = 0; j < 12; ++j)
                t += days(code(yy * 12 + j));
        for (long long j = 0; j <= iM - 1; ++j)
            t += days(code(iY * 12 + j));
        t += d + 22;
        if (t < 1)
            throw OutOfTable{}; // before 1841-01-01
        int sy = 1841;
        while (t > (leap(sy) ? 366 : 365))
            t -= leap(sy++) ? 366 : 365;
        const int monthDays[] = {31, leap(sy) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        int sm = 1;
        while (t > monthDays[sm - 1])
            t -= monthDays[sm++ - 1];
        return text(sy, sm, int(t));
    } catch (OutOfTable) {
        return std::nullopt;
    }
}

} // namespace LunarReference
