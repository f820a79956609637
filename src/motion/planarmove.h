#pragma once

#include "motion/axisprofile.h"

#include <QList>
#include <QPointF>

namespace talvex {

/// Points in mm, joined by straight lines.
using Polyline = QList<QPointF>;

/// A move of both axes at once: each axis runs its own profile at the same travel
/// speed and acceleration, both start together, and the move ends when both stand.
/// When the axes travel different distances the shorter one stops first, so the head
/// leaves at 45° and finishes along the longer axis: a bent line, not a straight one.
class PlanarMove
{
public:
    /// Samples taken along a bent move; enough that the curve looks smooth at any
    /// zoom an operator uses, few enough for a 500-row program to draw at once.
    static constexpr int kBentSamples = 32;

    PlanarMove(QPointF from, QPointF to, double speed, double acceleration);

    /// Seconds until both axes stand (infinity when they never get there).
    double duration() const { return m_duration; }
    QPointF positionAt(double seconds) const;
    /// Both axes keep the same proportion all the way, so the path is a straight line.
    bool straight() const;
    /// The path from start to target: the two ends for a straight move, else
    /// kBentSamples + 1 points evenly spaced in time.
    Polyline samples() const;

    QPointF from() const { return m_from; }
    QPointF to() const { return m_to; }

private:
    QPointF m_from;
    QPointF m_to;
    AxisProfile m_x;
    AxisProfile m_y;
    double m_duration;
};

/// Length of a polyline in mm.
double polylineLength(const Polyline &line);

} // namespace talvex
