#include "preview/planegrid.h"

#include "motion/stepdescriptions.h"
#include "preview/planetransform.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace talvex {

namespace {

const QColor kGridColour(0xe4, 0xe7, 0xeb);
const QColor kAxisColour(0x9a, 0xa0, 0xa6);
const QColor kTickColour(0x50, 0x55, 0x5a);

/// Whole multiples of step from below first to above last.
template <typename Draw> void forEachLine(double first, double last, double step, Draw draw)
{
    // A bounded count keeps a freak scale from drawing for ever, and far from the
    // origin (a point at 1e306) the steps no longer change the value: the same line
    // is drawn once, not a thousand times.
    if (!std::isfinite(first) || !std::isfinite(last) || !(step > 0.0))
        return;
    const double start = std::ceil(first / step);
    double previous = std::nan("");
    for (int i = 0; i < 1000; ++i) {
        const double at = (start + i) * step;
        if (at > last || at == previous)
            break;
        draw(at);
        previous = at;
    }
}

} // namespace

double PlaneGrid::stepFor(double scale)
{
    const double raw = kMinimumSpacing / scale;
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (decade * factor >= raw)
            return decade * factor;
    }
    return decade * 10.0;
}

void PlaneGrid::paint(QPainter &painter, const PlaneTransform &plane)
{
    const QRectF visible = plane.visiblePlane();
    const double step = stepFor(plane.scale());
    const QSizeF view = plane.viewSize();
    const QFontMetricsF metrics(painter.font());

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen line(kGridColour, 1.0);
    line.setCosmetic(true);

    forEachLine(visible.left(), visible.right(), step, [&](double x) {
        const double px = plane.toPixels(QPointF(x, 0.0)).x();
        line.setColor(std::abs(x) < step / 2.0 ? kAxisColour : kGridColour);
        painter.setPen(line);
        painter.drawLine(QPointF(px, 0.0), QPointF(px, view.height()));
        painter.setPen(kTickColour);
        painter.drawText(QPointF(px + 3.0, view.height() - 4.0), plainNumber(x));
    });
    forEachLine(visible.top(), visible.bottom(), step, [&](double y) {
        const double py = plane.toPixels(QPointF(0.0, y)).y();
        line.setColor(std::abs(y) < step / 2.0 ? kAxisColour : kGridColour);
        painter.setPen(line);
        painter.drawLine(QPointF(0.0, py), QPointF(view.width(), py));
        painter.setPen(kTickColour);
        painter.drawText(QPointF(3.0, py - 3.0), plainNumber(y));
    });
    painter.setPen(kTickColour);
    const QString unit = QStringLiteral("mm");
    painter.drawText(QPointF(view.width() - metrics.horizontalAdvance(unit) - 4.0, metrics.ascent() + 2.0), unit);
    painter.restore();
}

} // namespace talvex
