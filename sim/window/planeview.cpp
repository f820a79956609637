#include "sim/window/planeview.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace talvex::sim {

namespace {

constexpr double kMinimumSpan = 250.0; // mm shown even for an empty program
constexpr int kMargin = 34;            // px, room for the scale

double gridStep(double span)
{
    for (const double step : {1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0}) {
        if (span / step <= 12.0)
            return step;
    }
    return std::pow(10.0, std::ceil(std::log10(span / 10.0)));
}

} // namespace

PlaneView::PlaneView(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(250, 250, 246));
    setPalette(p);
    m_path.append(m_head);
}

void PlaneView::setHead(const QPointF &position)
{
    if (position == m_head)
        return;
    m_head = position;
    if (m_path.isEmpty() || std::hypot(m_path.last().x() - position.x(), m_path.last().y() - position.y()) > 0.01) {
        if (m_path.size() >= kPathLimit)
            m_path.remove(0, kPathLimit / 2);
        m_path.append(position);
    }
    update();
}

void PlaneView::setPoints(const QList<QPointF> &points)
{
    m_points = points;
    update();
}

void PlaneView::clearPath()
{
    m_path.clear();
    m_path.append(m_head);
    update();
}

QRectF PlaneView::extent() const
{
    double left = 0.0, right = kMinimumSpan, bottom = 0.0, top = kMinimumSpan;
    auto include = [&](const QPointF &p) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        bottom = std::min(bottom, p.y());
        top = std::max(top, p.y());
    };
    for (const QPointF &p : m_points)
        include(p);
    for (const QPointF &p : m_path)
        include(p);
    include(m_head);
    const double pad = std::max(right - left, top - bottom) * 0.05;
    return QRectF(QPointF(left - pad, bottom - pad), QPointF(right + pad, top + pad));
}

void PlaneView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(kMargin, 10, -10, -kMargin);
    const QRectF world = extent();
    const double scale = std::min(area.width() / world.width(), area.height() / world.height());
    const QPointF origin(area.left() + (area.width() - world.width() * scale) / 2.0,
                         area.bottom() - (area.height() - world.height() * scale) / 2.0);
    auto toScreen = [&](const QPointF &p) {
        return QPointF(origin.x() + (p.x() - world.left()) * scale, origin.y() - (p.y() - world.top()) * scale);
    };
    const QRectF plate = QRectF(toScreen(world.topLeft()), toScreen(world.bottomRight())).normalized();

    // Grid and scale.
    const double step = gridStep(std::max(world.width(), world.height()));
    painter.setFont(QFont(font().family(), 8));
    for (double v = std::ceil(world.left() / step) * step; v <= world.right(); v += step) {
        const double x = toScreen({v, 0}).x();
        painter.setPen(QPen(v == 0.0 ? QColor(150, 150, 150) : QColor(225, 225, 220), 1));
        painter.drawLine(QPointF(x, plate.top()), QPointF(x, plate.bottom()));
        painter.setPen(Qt::darkGray);
        painter.drawText(QRectF(x - 30, plate.bottom() + 2, 60, 14), Qt::AlignCenter, QString::number(v));
    }
    for (double v = std::ceil(world.top() / step) * step; v <= world.bottom(); v += step) {
        const double y = toScreen({0, v}).y();
        painter.setPen(QPen(v == 0.0 ? QColor(150, 150, 150) : QColor(225, 225, 220), 1));
        painter.drawLine(QPointF(plate.left(), y), QPointF(plate.right(), y));
        painter.setPen(Qt::darkGray);
        painter.drawText(QRectF(0, y - 7, kMargin - 4, 14), Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    }
    painter.drawText(QRectF(plate.right() - 60, plate.bottom() + 16, 60, 16), Qt::AlignRight, QStringLiteral("X (mm)"));
    painter.drawText(QRectF(2, plate.top() - 10, kMargin + 20, 14), Qt::AlignLeft, QStringLiteral("Y"));

    // Travelled path.
    if (m_path.size() > 1) {
        QPainterPath line(toScreen(m_path.first()));
        for (const QPointF &p : m_path)
            line.lineTo(toScreen(p));
        painter.setPen(QPen(QColor(40, 110, 200), 1.6));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(line);
    }

    // The program's points, numbered in program order.
    painter.setFont(QFont(font().family(), 9, QFont::Bold));
    for (int i = 0; i < m_points.size(); ++i) {
        const QPointF s = toScreen(m_points.at(i));
        painter.setPen(QPen(QColor(200, 110, 0), 1.5));
        painter.setBrush(QColor(255, 200, 120));
        painter.drawRect(QRectF(s.x() - 4, s.y() - 4, 8, 8));
        painter.setPen(QColor(150, 70, 0));
        painter.drawText(s + QPointF(7, -6), QString::number(i + 1));
    }

    // The head.
    const QPointF h = toScreen(m_head);
    painter.setPen(QPen(QColor(200, 30, 30), 2));
    painter.setBrush(QColor(255, 80, 80, 90));
    painter.drawEllipse(h, 9, 9);
    painter.drawLine(h - QPointF(14, 0), h + QPointF(14, 0));
    painter.drawLine(h - QPointF(0, 14), h + QPointF(0, 14));
}

} // namespace talvex::sim
