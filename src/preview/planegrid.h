#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>

#include <vector>

class QFontMetricsF;
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

    /// A tick's number or the unit, where it is drawn.
    struct Label
    {
        QString text;
        QPointF baseline;
        /// The box its text takes, in the view's pixels.
        QRectF box;
    };

    /// The grid step in mm for @p scale pixels per mm.
    static double stepFor(double scale);
    /// The labels of the ticks and the unit in text of @p metrics: each beside its
    /// line, and on the other side of it where that side would run off the view.
    static std::vector<Label> labels(const PlaneTransform &plane, const QFontMetricsF &metrics);
    static void paint(QPainter &painter, const PlaneTransform &plane);
};

} // namespace talvex
