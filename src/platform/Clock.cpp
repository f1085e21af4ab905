#include "Clock.h"

namespace {
class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
SystemClock systemClock;
Clock *current = nullptr;
} // namespace

Clock &Clock::instance() { return current ? *current : systemClock; }
void Clock::install(Clock *c) { current = c; }
