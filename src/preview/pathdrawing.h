#pragma once

#include "motion/programpath.h"

#include <QPointF>
#include <QRectF>
#include <QStaticText>
#include <QString>

#include <vector>

class QPainter;

namespace talvex {

class PlaneTransform;

/// Draws a program's path onto a plane: the grid, the travelled moves (bent where
/// the axes travel unequal distances), a numbered marker per point, small marks for
/// the steps that do not move, "×N" for loops and dashed arrows for jumps, with one
/// row highlighted. It also answers what lies under a pixel, for clicks and
/// tooltips, from the same layout it draws. A legend in the top right corner says
/// what each mark and colour means.
class PathDrawing
{
public:
    /// How close (pixels) a click must come to a marker or mark to hit it.
    static constexpr double kHitRadius = 8.0;

    void setPath(ProgramPath path);
    const ProgramPath &path() const { return m_path; }
    void setHighlightedRow(int row) { m_highlightedRow = row; }
    int highlightedRow() const { return m_highlightedRow; }
    void setLegendShown(bool shown) { m_legendShown = shown; }
    bool legendShown() const { return m_legendShown; }
    /// Where the legend stands in a view of @p viewSize pixels.
    static QRectF legendBox(QSizeF viewSize);

    void paint(QPainter &painter, const PlaneTransform &plane) const;

    /// The row of the point marker, mark or loop badge at @p pixel, or 0; nothing
    /// under the legend while it shows.
    int rowAt(QPointF pixel, const PlaneTransform &plane) const;
    /// What the marker, mark or loop badge at @p pixel stands for; empty for none.
    QString toolTipAt(QPointF pixel, const PlaneTransform &plane) const;

private:
    /// What lies under a pixel: a point's marker (in m_path.moves), a mark's glyph (in
    /// m_path.marks) or a loop badge (in m_path.loops), with its index there.
    struct Hit
    {
        enum class Kind
        {
            None,
            Move,
            Mark,
            Loop,
        };
        Kind kind = Kind::None;
        size_t index = 0;
    };
    Hit hitAt(QPointF pixel, const PlaneTransform &plane) const;
    /// Where the glyph of mark @p index sits, in pixels.
    QPointF glyphCentre(size_t index, const PlaneTransform &plane) const;
    void paintMoves(QPainter &painter, const PlaneTransform &plane) const;
    void paintJumps(QPainter &painter, const PlaneTransform &plane) const;
    void paintMarkers(QPainter &painter, const PlaneTransform &plane) const;
    void paintMarks(QPainter &painter, const PlaneTransform &plane) const;
    void paintLoops(QPainter &painter, const PlaneTransform &plane) const;
    void paintLegend(QPainter &painter, const PlaneTransform &plane) const;

    ProgramPath m_path;
    /// Per mark: its place among the marks that share its position (glyphs line up).
    std::vector<int> m_markSlot;
    std::vector<QStaticText> m_rowNumbers;
    int m_highlightedRow = 0;
    bool m_legendShown = true;
};

} // namespace talvex
