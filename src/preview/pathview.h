#pragma once

#include "preview/pathdrawing.h"
#include "preview/planetransform.h"

#include <QPoint>
#include <QWidget>

namespace talvex {

/// The plane with a program's path on it. The wheel zooms about the pointer,
/// dragging pans, and a click on a point (or on a mark) reports its row. Until the
/// operator zooms or pans, the drawing stays fitted to the program as it changes.
class PathView : public QWidget
{
    Q_OBJECT

public:
    /// Room left round a fitted program for markers, numbers and tick labels.
    static constexpr double kFitMargin = 40.0;

    explicit PathView(QWidget *parent = nullptr);

    void setPath(ProgramPath path);
    const ProgramPath &path() const { return m_drawing.path(); }
    void setHighlightedRow(int row);
    int highlightedRow() const { return m_drawing.highlightedRow(); }
    /// Shows or hides the legend; a fitted program keeps clear of it.
    void setLegendShown(bool shown);
    bool legendShown() const { return m_drawing.legendShown(); }
    /// Fits the whole program into the view again, and keeps it fitted.
    void fitAll();
    const PlaneTransform &plane() const { return m_plane; }
    /// Draws what the view shows onto @p painter (an image, a PDF page or an SVG drawing).
    void render(QPainter &painter) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void rowClicked(int row);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    /// Fits the program into the view, beside or below the legend, whichever shows
    /// it larger.
    void fit();

    PathDrawing m_drawing;
    PlaneTransform m_plane;
    bool m_fitted = true;
    bool m_pressed = false;
    bool m_dragging = false;
    QPoint m_pressPosition;
    QPoint m_lastPosition;
};

} // namespace talvex
