#include "motion/planarmove.h"

#include <algorithm>
#include <cmath>

namespace talvex {

PlanarMove::PlanarMove(QPointF from, QPointF to, double speed, double acceleration)
    : m_from(from), m_to(to), m_x(to.x() - from.x(), speed, acceleration), m_y(to.y() - from.y(), speed, acceleration),
      m_duration(std::max(m_x.duration(), m_y.duration()))
{
}

QPointF PlanarMove::positionAt(double seconds) const
{
    return {m_from.x() + m_x.offsetAt(seconds), m_from.y() + m_y.offsetAt(seconds)};
}

bool PlanarMove::straight() const
{
    const double dx = std::abs(m_to.x() - m_from.x());
    const double dy = std::abs(m_to.y() - m_from.y());
    // One axis still, or both on the very same profile.
    return dx == 0.0 || dy == 0.0 || dx == dy || !std::isfinite(m_duration);
}

Polyline PlanarMove::samples() const
{
    if (straight())
        return Polyline{m_from, m_to};
    Polyline line;
    line.reserve(kBentSamples + 1);
    for (int i = 0; i <= kBentSamples; ++i)
        line << positionAt(m_duration * i / kBentSamples);
    line.back() = m_to;
    return line;
}

double polylineLength(const Polyline &line)
{
    double length = 0.0;
    for (qsizetype i = 1; i < line.size(); ++i)
        length += std::hypot(line.at(i).x() - line.at(i - 1).x(), line.at(i).y() - line.at(i - 1).y());
    return length;
}

} // namespace talvex
