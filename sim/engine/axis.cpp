#include "sim/engine/axis.h"

#include <algorithm>
#include <cmath>

namespace talvex::sim {

namespace {

struct Profile
{
    double peak;     // mm/s
    double rampTime; // s, each of the acceleration and braking phases
    double total;    // s
};

Profile profileFor(double distance, double speed, double accel)
{
    if (distance <= 0.0 || speed <= 0.0 || accel <= 0.0)
        return {0.0, 0.0, 0.0};
    if (distance >= speed * speed / accel) {
        const double ramp = speed / accel;
        return {speed, ramp, 2.0 * ramp + (distance - speed * speed / accel) / speed};
    }
    const double ramp = std::sqrt(distance / accel);
    return {accel * ramp, ramp, 2.0 * ramp};
}

} // namespace

double Axis::moveDuration(double distance, double speed, double accel)
{
    return profileFor(std::fabs(distance), speed, accel).total * 1000.0;
}

double Axis::position(double nowMs) const
{
    if (nowMs >= endTime())
        return m_to;
    if (nowMs <= m_start)
        return m_from;
    const double distance = std::fabs(m_to - m_from);
    const double direction = m_to >= m_from ? 1.0 : -1.0;
    const double t = (nowMs - m_start) / 1000.0;
    const double total = m_duration / 1000.0;
    double travelled = 0.0;
    if (t < m_rampTime) {
        travelled = 0.5 * m_accel * t * t;
    } else if (t < total - m_rampTime) {
        travelled = 0.5 * m_accel * m_rampTime * m_rampTime + m_peak * (t - m_rampTime);
    } else {
        const double left = total - t;
        travelled = distance - 0.5 * m_accel * left * left;
    }
    return m_from + direction * std::clamp(travelled, 0.0, distance);
}

void Axis::moveTo(double target, double speed, double accel, double startMs)
{
    m_from = position(startMs);
    m_to = target;
    m_start = startMs;
    const Profile profile = profileFor(std::fabs(m_to - m_from), speed, accel);
    m_accel = accel > 0.0 ? accel : 1.0;
    m_peak = profile.peak;
    m_rampTime = profile.rampTime;
    m_duration = profile.total * 1000.0;
}

void Axis::halt(double nowMs)
{
    place(position(nowMs));
}

void Axis::place(double position)
{
    m_from = m_to = position;
    m_start = 0.0;
    m_duration = 0.0;
    m_peak = m_rampTime = 0.0;
}

} // namespace talvex::sim
