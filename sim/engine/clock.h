#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

namespace talvex::sim {

/// The time the simulated machine runs on, in milliseconds. Motion, "WT" waits and
/// reply delays all read a clock, so tests drive time by hand instead of sleeping.
class Clock
{
public:
    virtual ~Clock();
    virtual double nowMs() const = 0;
};

/// Real time since construction, optionally run faster (a scale of 10 lets a
/// one-second wait pass in 100 ms, which keeps the end-to-end tests short).
class SteadyClock : public Clock
{
public:
    explicit SteadyClock(double scale = 1.0);
    double nowMs() const override;

private:
    QElapsedTimer m_timer;
    double m_scale;
};

/// Time that moves only when told to.
class ManualClock : public Clock
{
public:
    double nowMs() const override { return m_now; }
    void set(double ms) { m_now = ms; }
    void advance(double ms) { m_now += ms; }

private:
    double m_now = 0.0;
};

} // namespace talvex::sim
