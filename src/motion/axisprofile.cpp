#include "motion/axisprofile.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace talvex {

AxisProfile::AxisProfile(double distance, double speed, double acceleration)
    : m_distance(std::abs(distance)), m_sign(distance < 0.0 ? -1.0 : 1.0), m_acceleration(acceleration)
{
    if (m_distance == 0.0 || !std::isfinite(m_distance))
        return;
    if (!(speed > 0.0) || !(acceleration > 0.0)) {
        m_duration = std::numeric_limits<double>::infinity();
        return;
    }
    // Speeding up to v takes v/a seconds and v²/2a mm; braking the same again.
    const double rampDistance = speed * speed / (2.0 * acceleration);
    if (2.0 * rampDistance <= m_distance) {
        m_peak = speed;
        m_ramp = speed / acceleration;
        m_cruise = (m_distance - 2.0 * rampDistance) / speed;
    } else {
        // Half the distance speeding up, half braking: d/2 = a·t²/2.
        m_ramp = std::sqrt(m_distance / acceleration);
        m_peak = acceleration * m_ramp;
        m_cruise = 0.0;
    }
    m_duration = 2.0 * m_ramp + m_cruise;
}

double AxisProfile::offsetAt(double seconds) const
{
    if (m_distance == 0.0)
        return 0.0;
    if (!std::isfinite(m_duration))
        return 0.0;
    const double t = std::clamp(seconds, 0.0, m_duration);
    double covered = 0.0;
    if (t <= m_ramp) {
        covered = 0.5 * m_acceleration * t * t;
    } else if (t <= m_ramp + m_cruise) {
        covered = 0.5 * m_acceleration * m_ramp * m_ramp + m_peak * (t - m_ramp);
    } else {
        const double left = m_duration - t;
        covered = m_distance - 0.5 * m_acceleration * left * left;
    }
    return m_sign * std::min(covered, m_distance);
}

} // namespace talvex
