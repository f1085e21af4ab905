#pragma once
#include "Seam.h"
#include <QDate>
#include <QDateTime>

// Today and now; tests fix them.
class Clock : public Seam<Clock> {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};
template <> Clock &Seam<Clock>::fallback();

// A clock that stands still at a given moment.
class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime at) : m_at(std::move(at)) {}
    QDateTime now() const override { return m_at; }
    void set(const QDateTime &at) { m_at = at; }

private:
    QDateTime m_at;
};

inline Clock &appClock() { return Clock::instance(); }
