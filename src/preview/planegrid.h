#pragma once

class QPainter;

namespace talvex {

class PlaneTransform;

/// Draws the millimetre grid of the plane with labelled ticks along the bottom and
/// left edges, and the two axes through the origin a shade darker. The spacing is
/// 1, 2 or 5 times a power of ten, chosen so the lines stay a comfortable distance
/// apart at any zoom.
class PlaneGrid
{
public:
    /// Grid lines are at least this far apart (pixels).
    static constexpr double kMinimumSpacing = 60.0;

    /// The grid step in mm for @p scale pixels per mm.
    static double stepFor(double scale);
    static void paint(QPainter &painter, const PlaneTransform &plane);
};

} // namespace talvex
