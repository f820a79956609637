#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

namespace talvex {

/// The blocking millisecond wait of the line exchanges, and the clock they read.
/// Tests substitute virtual time so that waits cost nothing and late replies can be
/// staged exactly.
class Sleeper
{
public:
    virtual ~Sleeper();
    /// Blocks the calling thread for @p ms milliseconds (no events are processed).
    virtual void sleep(int ms) = 0;
    /// Milliseconds on a monotonic clock.
    virtual qint64 now() const = 0;
};

/// Real time.
class ThreadSleeper : public Sleeper
{
public:
    ThreadSleeper();
    void sleep(int ms) override;
    qint64 now() const override;

private:
    QElapsedTimer m_clock;
};

} // namespace talvex
