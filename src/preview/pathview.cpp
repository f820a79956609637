#include "preview/pathview.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <cmath>

namespace talvex {

namespace {

/// Pointer travel (pixels) that turns a press into a drag rather than a click.
constexpr int kDragThreshold = 4;
/// Zoom per wheel notch (120 units of angle).
constexpr double kZoomPerNotch = 1.25;

} // namespace

PathView::PathView(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setCursor(Qt::OpenHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(320, 240);
    setFocusPolicy(Qt::StrongFocus);
}

QSize PathView::sizeHint() const
{
    return {800, 600};
}

void PathView::setPath(ProgramPath path)
{
    m_drawing.setPath(std::move(path));
    if (m_fitted)
        fit();
    update();
}

void PathView::setHighlightedRow(int row)
{
    if (row == m_drawing.highlightedRow())
        return;
    m_drawing.setHighlightedRow(row);
    update();
}

void PathView::setLegendShown(bool shown)
{
    m_drawing.setLegendShown(shown);
    if (m_fitted)
        fit();
    update();
}

void PathView::fitAll()
{
    m_fitted = true;
    fit();
    update();
}

void PathView::fit()
{
    const QRectF &bounds = m_drawing.path().bounds;
    const QMarginsF margins(kFitMargin, kFitMargin, kFitMargin, kFitMargin);
    if (!m_drawing.legendShown()) {
        m_plane.fit(bounds, margins);
        return;
    }
    const QRectF legend = PathDrawing::legendBox(size());
    PlaneTransform beside = m_plane;
    beside.fit(bounds, margins + QMarginsF(0.0, 0.0, width() - legend.left(), 0.0));
    PlaneTransform below = m_plane;
    below.fit(bounds, margins + QMarginsF(0.0, legend.bottom(), 0.0, 0.0));
    m_plane = beside.scale() >= below.scale() ? beside : below;
}

void PathView::render(QPainter &painter) const
{
    m_drawing.paint(painter, m_plane);
}

bool PathView::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString text = m_drawing.toolTipAt(help->pos(), m_plane);
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, this);
        }
        return true;
    }
    return QWidget::event(event);
}

void PathView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_drawing.paint(painter, m_plane);
}

void PathView::resizeEvent(QResizeEvent *)
{
    m_plane.setViewSize(size());
    if (m_fitted)
        fit();
}

void PathView::wheelEvent(QWheelEvent *event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0)
        return;
    m_fitted = false;
    m_plane.zoomAt(event->position(), std::pow(kZoomPerNotch, notches));
    update();
    event->accept();
}

void PathView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_pressed = true;
    m_dragging = false;
    m_pressPosition = m_lastPosition = event->position().toPoint();
}

void PathView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint position = event->position().toPoint();
    if (!m_pressed) {
        setCursor(m_drawing.rowAt(position, m_plane) > 0 ? Qt::PointingHandCursor : Qt::OpenHandCursor);
        return;
    }
    if (!m_dragging && (position - m_pressPosition).manhattanLength() < kDragThreshold)
        return;
    if (!m_dragging) {
        m_dragging = true;
        m_fitted = false;
        setCursor(Qt::ClosedHandCursor);
    }
    m_plane.pan(position - m_lastPosition);
    m_lastPosition = position;
    update();
}

void PathView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return QWidget::mouseReleaseEvent(event);
    m_pressed = false;
    if (m_dragging) {
        m_dragging = false;
        setCursor(Qt::OpenHandCursor);
        return;
    }
    const int row = m_drawing.rowAt(event->position(), m_plane);
    if (row > 0) {
        setHighlightedRow(row);
        Q_EMIT rowClicked(row);
    }
}

} // namespace talvex
