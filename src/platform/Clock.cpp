#include "Clock.h"

namespace {
class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
} // namespace

template <> Clock &Seam<Clock>::fallback() {
    static SystemClock system;
    return system;
}
