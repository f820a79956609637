#include "sim/engine/clock.h"

namespace talvex::sim {

Clock::~Clock() = default;

SteadyClock::SteadyClock(double scale) : m_scale(scale > 0.0 ? scale : 1.0)
{
    m_timer.start();
}

double SteadyClock::nowMs() const
{
    return static_cast<double>(m_timer.nsecsElapsed()) / 1e6 * m_scale;
}

} // namespace talvex::sim
