#include "preview/planegrid.h"

#include "motion/stepdescriptions.h"
#include "preview/planetransform.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
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

std::vector<PlaneGrid::Label> PlaneGrid::labels(const PlaneTransform &plane, const QFontMetricsF &metrics)
{
    const QRectF visible = plane.visiblePlane();
    const double step = stepFor(plane.scale());
    const QSizeF view = plane.viewSize();
    constexpr double kGap = 3.0;
    std::vector<Label> out;
    const auto add = [&out, &metrics](const QString &text, QPointF baseline) {
        const QRectF box(baseline.x(), baseline.y() - metrics.ascent(), metrics.horizontalAdvance(text),
                         metrics.ascent() + metrics.descent());
        out.push_back(Label{text, baseline, box});
    };
    // X along the bottom, right of each line; a number that would run off the right
    // edge goes left of its line instead.
    const double bottom = view.height() - std::max(4.0, metrics.descent() + 1.0);
    forEachLine(visible.left(), visible.right(), step, [&](double x) {
        const double px = plane.toPixels(QPointF(x, 0.0)).x();
        const QString text = plainNumber(x);
        const double width = metrics.horizontalAdvance(text);
        const double left = px + kGap + width <= view.width() - 1.0 ? px + kGap : px - kGap - width;
        add(text, QPointF(left, bottom));
    });
    // Y along the left edge, above each line; below it where the top edge is too near,
    // and never lower than the bottom edge lets it.
    forEachLine(visible.top(), visible.bottom(), step, [&](double y) {
        const double py = plane.toPixels(QPointF(0.0, y)).y();
        const double above = py - kGap;
        const double baseline = above - metrics.ascent() >= 0.0 ? above : py + kGap + metrics.ascent();
        add(plainNumber(y), QPointF(kGap, std::min(baseline, view.height() - metrics.descent())));
    });
    const QString unit = QStringLiteral("mm");
    add(unit, QPointF(view.width() - metrics.horizontalAdvance(unit) - 4.0, metrics.ascent() + 2.0));
    return out;
}

void PlaneGrid::paint(QPainter &painter, const PlaneTransform &plane)
{
    const QRectF visible = plane.visiblePlane();
    const double step = stepFor(plane.scale());
    const QSizeF view = plane.viewSize();

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen line(kGridColour, 1.0);
    line.setCosmetic(true);
    forEachLine(visible.left(), visible.right(), step, [&](double x) {
        const double px = plane.toPixels(QPointF(x, 0.0)).x();
        line.setColor(std::abs(x) < step / 2.0 ? kAxisColour : kGridColour);
        painter.setPen(line);
        painter.drawLine(QPointF(px, 0.0), QPointF(px, view.height()));
    });
    forEachLine(visible.top(), visible.bottom(), step, [&](double y) {
        const double py = plane.toPixels(QPointF(0.0, y)).y();
        line.setColor(std::abs(y) < step / 2.0 ? kAxisColour : kGridColour);
        painter.setPen(line);
        painter.drawLine(QPointF(0.0, py), QPointF(view.width(), py));
    });
    painter.setPen(kTickColour);
    for (const Label &label : labels(plane, QFontMetricsF(painter.font(), painter.device())))
        painter.drawText(label.baseline, label.text);
    painter.restore();
}

} // namespace talvex
