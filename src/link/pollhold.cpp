#include "link/pollhold.h"

#include <QTimer>

#include <algorithm>
#include <utility>

namespace talvex {

void PollHold::addTimer(QTimer &timer)
{
    m_timers.erase(
        std::remove_if(m_timers.begin(), m_timers.end(), [](const QPointer<QTimer> &t) { return t.isNull(); }),
        m_timers.end());
    m_timers.emplace_back(&timer);
    // A poll added while a hold is on waits for its end like the others.
    if (isHeld() && timer.isActive()) {
        timer.stop();
        m_stopped.emplace_back(&timer);
    }
}

void PollHold::hold()
{
    ++m_depth;
    for (const QPointer<QTimer> &timer : m_timers) {
        if (timer && timer->isActive()) {
            timer->stop();
            m_stopped.push_back(timer);
        }
    }
}

void PollHold::release()
{
    // The handler may show a box itself, which holds again one level deeper.
    if (m_depth == 1 && m_releaseHandler)
        m_releaseHandler();
    if (--m_depth > 0)
        return;
    const std::vector<QPointer<QTimer>> stopped = std::exchange(m_stopped, {});
    for (const QPointer<QTimer> &timer : stopped) {
        if (timer && !timer->isActive())
            timer->start();
    }
}

PollHold::Scope::Scope(PollHold &hold) : m_hold(hold)
{
    m_hold.hold();
}

PollHold::Scope::~Scope()
{
    m_hold.release();
}

} // namespace talvex
