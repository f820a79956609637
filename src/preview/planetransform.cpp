#include "preview/planetransform.h"

#include <algorithm>

namespace talvex {

void PlaneTransform::fit(const QRectF &bounds, const QMarginsF &margins)
{
    const QRectF plane = bounds.normalized();
    const double width = std::max(plane.width(), kMinimumSpan);
    const double height = std::max(plane.height(), kMinimumSpan);
    const QRectF usable = QRectF(QPointF(), m_view).marginsRemoved(margins);
    const double usableWidth = std::max(usable.width(), 1.0);
    const double usableHeight = std::max(usable.height(), 1.0);
    m_scale = std::clamp(std::min(usableWidth / width, usableHeight / height), kMinimumScale, kMaximumScale);
    // The plane's centre lands on the usable part's centre, off the view's by as much.
    const QPointF offset = QPointF(m_view.width() / 2.0, m_view.height() / 2.0) - usable.center();
    m_centre = plane.center() + QPointF(offset.x() / m_scale, -offset.y() / m_scale);
}

void PlaneTransform::zoomAt(QPointF pixel, double factor)
{
    const QPointF anchor = toMillimetres(pixel);
    m_scale = std::clamp(m_scale * factor, kMinimumScale, kMaximumScale);
    // Put the centre where it must be for anchor to land on pixel again.
    const QPointF fromCentre = pixel - QPointF(m_view.width() / 2.0, m_view.height() / 2.0);
    m_centre = {anchor.x() - fromCentre.x() / m_scale, anchor.y() + fromCentre.y() / m_scale};
}

void PlaneTransform::pan(QPointF delta)
{
    m_centre += QPointF(-delta.x() / m_scale, delta.y() / m_scale);
}

QPointF PlaneTransform::toPixels(QPointF mm) const
{
    return {(mm.x() - m_centre.x()) * m_scale + m_view.width() / 2.0,
            (m_centre.y() - mm.y()) * m_scale + m_view.height() / 2.0};
}

QPointF PlaneTransform::toMillimetres(QPointF pixel) const
{
    return {(pixel.x() - m_view.width() / 2.0) / m_scale + m_centre.x(),
            m_centre.y() - (pixel.y() - m_view.height() / 2.0) / m_scale};
}

QTransform PlaneTransform::transform() const
{
    return {m_scale,
            0.0,
            0.0,
            -m_scale,
            m_view.width() / 2.0 - m_centre.x() * m_scale,
            m_view.height() / 2.0 + m_centre.y() * m_scale};
}

QRectF PlaneTransform::visiblePlane() const
{
    return QRectF(toMillimetres(QPointF(0.0, m_view.height())), toMillimetres(QPointF(m_view.width(), 0.0)))
        .normalized();
}

} // namespace talvex
