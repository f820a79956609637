#pragma once

#include <QMarginsF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>

namespace talvex {

/// Maps the XY plane in millimetres (X to the right, Y up) onto a view in pixels
/// (y down): a scale in pixels per millimetre and the millimetre point at the
/// view's centre. Fitting, zooming about a point and panning all keep it that simple.
class PlaneTransform
{
public:
    /// Smallest span fitted, so a program of one point still shows some plane (mm).
    static constexpr double kMinimumSpan = 20.0;
    static constexpr double kMinimumScale = 1e-4;
    static constexpr double kMaximumScale = 1e4;

    void setViewSize(QSizeF size) { m_view = size; }
    QSizeF viewSize() const { return m_view; }

    /// Scales and centres @p bounds (mm) in the view, keeping @p margin pixels free
    /// all round.
    void fit(const QRectF &bounds, double margin) { fit(bounds, QMarginsF(margin, margin, margin, margin)); }
    /// Scales and centres @p bounds (mm) in the part of the view inside @p margins.
    void fit(const QRectF &bounds, const QMarginsF &margins);
    /// Zooms by @p factor keeping the plane point under @p pixel where it is.
    void zoomAt(QPointF pixel, double factor);
    /// Moves the plane with the pointer by @p delta pixels.
    void pan(QPointF delta);

    double scale() const { return m_scale; }
    QPointF centre() const { return m_centre; }
    QPointF toPixels(QPointF mm) const;
    QPointF toMillimetres(QPointF pixel) const;
    /// The same mapping as a painter transform.
    QTransform transform() const;
    /// The part of the plane the view shows (mm).
    QRectF visiblePlane() const;

private:
    double m_scale = 1.0;
    QPointF m_centre;
    QSizeF m_view;
};

} // namespace talvex
