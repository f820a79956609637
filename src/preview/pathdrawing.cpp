#include "preview/pathdrawing.h"

#include "motion/stepdescriptions.h"
#include "preview/planegrid.h"
#include "preview/planetransform.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>

namespace talvex {

namespace {

const QColor kTravelColour(0x1f, 0x5f, 0xbf);
const QColor kHomeColour(0x2e, 0x8b, 0x57);
const QColor kUnreachedColour(0xb4, 0xb8, 0xbd);
const QColor kHighlightColour(0xff, 0x8c, 0x00);
const QColor kJumpColour(0x8b, 0x00, 0x8b);
const QColor kLoopColour(0xa0, 0x1c, 0x1c);
const QColor kTextColour(0x20, 0x24, 0x28);

constexpr double kMarkerRadius = 4.5;
constexpr double kGlyphSize = 14.0;
constexpr double kGlyphSpacing = 16.0;

/// The glyph and colour of each kind of mark, in the order of PathMark::Kind.
struct MarkStyle
{
    const char *glyph;
    QColor colour;
};
const std::array<MarkStyle, 6> kMarkStyles = {{
    {"速", QColor(0x6a, 0x5a, 0xcd)},
    {"延", QColor(0xd2, 0x69, 0x1e)},
    {"入", QColor(0xc7, 0x15, 0x85)},
    {"出", QColor(0x22, 0x8b, 0x22)},
    {"標", QColor(0x46, 0x82, 0xb4)},
    {"跳", kJumpColour},
}};

const MarkStyle &styleOf(PathMark::Kind kind)
{
    return kMarkStyles[static_cast<size_t>(kind)];
}

QPen cosmeticPen(const QColor &colour, double width, Qt::PenStyle style = Qt::SolidLine)
{
    QPen pen(colour, width, style, Qt::RoundCap, Qt::RoundJoin);
    pen.setCosmetic(true);
    return pen;
}

double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

QFont sizedFont(int points, bool bold = false)
{
    QFont font;
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

const QFont &badgeFont()
{
    static const QFont font = sizedFont(10, true);
    return font;
}

/// The box of a loop's "×N", above and to the left of its first point.
QRectF badgeBox(const LoopBadge &loop, const PlaneTransform &plane)
{
    const QFontMetricsF metrics(badgeFont());
    const double width = metrics.horizontalAdvance(loop.text);
    return QRectF(plane.toPixels(loop.position) + QPointF(-12.0 - width, -24.0),
                  QSizeF(width + 6.0, metrics.height() + 2.0));
}

QString unreachedNote(bool reached)
{
    return reached ? QString() : QStringLiteral(" (程式不會執行到)");
}

/// The legend's lines: a symbol drawn as in the drawing, and what it means.
enum class LegendSymbol
{
    Point,
    Home,
    Travel,
    Highlight,
    Unreached,
    Jump,
    Loop,
};
struct LegendLine
{
    LegendSymbol symbol;
    const char *meaning;
};
const std::array<LegendLine, 7> kLegendLines = {{
    {LegendSymbol::Point, "點 (數字為行數)"},
    {LegendSymbol::Home, "回原點"},
    {LegendSymbol::Travel, "移動路徑"},
    {LegendSymbol::Highlight, "所選的那一行"},
    {LegendSymbol::Unreached, "程式不會執行到"},
    {LegendSymbol::Jump, "跳到標籤的位置"},
    {LegendSymbol::Loop, "迴圈的執行次數"},
}};
/// What the marks stand for, in the order of PathMark::Kind; two to a line.
const std::array<const char *, 6> kMarkMeanings = {"速度", "延遲", "等待輸入", "設定輸出", "標籤", "跳至標籤"};

constexpr double kLegendPadding = 6.0;
constexpr double kLegendSymbolWidth = 26.0;
constexpr double kLegendGap = 5.0;
constexpr double kLegendColumnGap = 10.0;

const QFont &legendFont()
{
    static const QFont font = sizedFont(8);
    return font;
}

const QFont &glyphFont()
{
    static const QFont font = sizedFont(7);
    return font;
}

double legendLineHeight()
{
    return std::max(kGlyphSize, QFontMetricsF(legendFont()).height()) + 3.0;
}

/// How wide a column of marks is: a glyph and the widest meaning.
double markColumnWidth()
{
    const QFontMetricsF metrics(legendFont());
    double widest = 0.0;
    for (const char *meaning : kMarkMeanings)
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromUtf8(meaning)));
    return kGlyphSize + kLegendGap + widest;
}

QSizeF legendSize()
{
    const QFontMetricsF metrics(legendFont());
    double widest = 0.0;
    for (const LegendLine &line : kLegendLines)
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromUtf8(line.meaning)));
    const double width = std::max(kLegendSymbolWidth + kLegendGap + widest, 2.0 * markColumnWidth() + kLegendColumnGap);
    // The marks stand two to a line.
    const size_t markLines = (kMarkMeanings.size() + 1) / 2;
    const auto lines = static_cast<double>(kLegendLines.size() + markLines);
    return {width + 2.0 * kLegendPadding, lines * legendLineHeight() + 2.0 * kLegendPadding};
}

/// A mark's glyph on its colour, as the drawing and the legend show it.
void paintGlyph(QPainter &painter, const QRectF &box, const QColor &colour, const QStaticText &glyph)
{
    painter.setBrush(colour);
    painter.drawRect(box);
    painter.setPen(Qt::white);
    painter.drawStaticText(box.center() - QPointF(glyph.size().width(), glyph.size().height()) / 2.0, glyph);
}

const std::array<QStaticText, 6> &markGlyphs()
{
    static const std::array<QStaticText, 6> glyphs = [] {
        std::array<QStaticText, 6> texts;
        for (size_t k = 0; k < texts.size(); ++k)
            texts[k].setText(QString::fromUtf8(kMarkStyles[k].glyph));
        return texts;
    }();
    return glyphs;
}

void paintArrowHead(QPainter &painter, QPointF tip, QPointF from)
{
    const double angle = std::atan2(tip.y() - from.y(), tip.x() - from.x());
    constexpr double kLength = 9.0;
    constexpr double kSpread = 0.45;
    const QPolygonF head{tip, tip - QPointF(kLength * std::cos(angle - kSpread), kLength * std::sin(angle - kSpread)),
                         tip - QPointF(kLength * std::cos(angle + kSpread), kLength * std::sin(angle + kSpread))};
    painter.drawPolygon(head);
}

} // namespace

void PathDrawing::setPath(ProgramPath path)
{
    m_path = std::move(path);
    m_markSlot.assign(m_path.marks.size(), 0);
    QHash<QPair<double, double>, int> taken;
    for (size_t i = 0; i < m_path.marks.size(); ++i) {
        const QPointF p = m_path.marks[i].position;
        m_markSlot[i] = taken[qMakePair(p.x(), p.y())]++;
    }
    m_rowNumbers.clear();
    m_rowNumbers.reserve(m_path.moves.size());
    for (const PathMove &move : m_path.moves) {
        m_rowNumbers.emplace_back(QString::number(move.row));
        m_rowNumbers.back().setPerformanceHint(QStaticText::AggressiveCaching);
    }
}

QPointF PathDrawing::glyphCentre(size_t index, const PlaneTransform &plane) const
{
    // Below and to the right of the point, clear of its marker and row number.
    return plane.toPixels(m_path.marks[index].position) + QPointF(12.0 + kGlyphSpacing * m_markSlot[index], 12.0);
}

void PathDrawing::paint(QPainter &painter, const PlaneTransform &plane) const
{
    painter.save();
    painter.fillRect(QRectF(QPointF(), plane.viewSize()), Qt::white);
    PlaneGrid::paint(painter, plane);
    painter.setRenderHint(QPainter::Antialiasing, true);
    paintMoves(painter, plane);
    paintJumps(painter, plane);
    paintMarkers(painter, plane);
    paintMarks(painter, plane);
    paintLoops(painter, plane);
    if (m_legendShown)
        paintLegend(painter, plane);
    painter.restore();
}

QRectF PathDrawing::legendBox(QSizeF viewSize)
{
    // In the top right corner, below the grid's unit.
    const QSizeF size = legendSize();
    const double top = QFontMetricsF(QFont()).height() + 6.0;
    return QRectF(QPointF(viewSize.width() - size.width() - 6.0, top), size);
}

void PathDrawing::paintLegend(QPainter &painter, const PlaneTransform &plane) const
{
    const QRectF box = legendBox(plane.viewSize());
    const double lineHeight = legendLineHeight();
    const QFontMetricsF metrics(legendFont(), painter.device());
    painter.save();
    painter.setPen(cosmeticPen(kUnreachedColour, 1.0));
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawRoundedRect(box, 3.0, 3.0);
    const auto meaningAt = [&](double x, double middle, const char *meaning) {
        painter.setFont(legendFont());
        painter.setPen(kTextColour);
        painter.drawText(QPointF(x, middle + (metrics.ascent() - metrics.descent()) / 2.0), QString::fromUtf8(meaning));
    };
    const double left = box.left() + kLegendPadding;
    double middle = box.top() + kLegendPadding + lineHeight / 2.0;
    for (const LegendLine &line : kLegendLines) {
        const QPointF from(left + 2.0, middle);
        const QPointF to(left + kLegendSymbolWidth - 2.0, middle);
        const QPointF centre = (from + to) / 2.0;
        painter.setBrush(Qt::NoBrush);
        switch (line.symbol) {
        case LegendSymbol::Point:
            painter.setPen(cosmeticPen(kTravelColour, 1.5));
            painter.setBrush(kTravelColour);
            painter.drawEllipse(centre, kMarkerRadius, kMarkerRadius);
            break;
        case LegendSymbol::Home:
            painter.setPen(cosmeticPen(kHomeColour, 1.5));
            painter.setBrush(kHomeColour);
            painter.drawRect(QRectF(centre - QPointF(kMarkerRadius, kMarkerRadius), QSizeF(9.0, 9.0)));
            break;
        case LegendSymbol::Travel:
            painter.setPen(cosmeticPen(kTravelColour, 1.5));
            painter.drawLine(from, to);
            break;
        case LegendSymbol::Highlight:
            painter.setPen(cosmeticPen(kHighlightColour, 4.0));
            painter.drawLine(from, to);
            break;
        case LegendSymbol::Unreached:
            painter.setPen(cosmeticPen(kUnreachedColour, 1.5, Qt::DashLine));
            painter.drawLine(from, to - QPointF(kMarkerRadius, 0.0));
            painter.setPen(cosmeticPen(kUnreachedColour, 1.5));
            painter.setBrush(Qt::white);
            painter.drawEllipse(to - QPointF(kMarkerRadius - 1.0, 0.0), kMarkerRadius - 1.0, kMarkerRadius - 1.0);
            break;
        case LegendSymbol::Jump:
            painter.setPen(cosmeticPen(kJumpColour, 1.5, Qt::DashLine));
            painter.drawLine(from, to);
            painter.setPen(cosmeticPen(kJumpColour, 1.0));
            painter.setBrush(kJumpColour);
            paintArrowHead(painter, to, from);
            break;
        case LegendSymbol::Loop:
            painter.setFont(badgeFont());
            painter.setPen(kLoopColour);
            painter.drawText(QRectF(from.x(), middle - lineHeight / 2.0, to.x() - from.x(), lineHeight),
                             Qt::AlignCenter, QStringLiteral("×N"));
            break;
        }
        meaningAt(left + kLegendSymbolWidth + kLegendGap, middle, line.meaning);
        middle += lineHeight;
    }
    const double column = markColumnWidth() + kLegendColumnGap;
    for (size_t k = 0; k < kMarkMeanings.size(); ++k) {
        const double x = left + static_cast<double>(k % 2) * column;
        const size_t markLine = k / 2;
        const double y = middle + static_cast<double>(markLine) * lineHeight;
        const QRectF glyphBox(QPointF(x, y - kGlyphSize / 2.0), QSizeF(kGlyphSize, kGlyphSize));
        painter.setFont(glyphFont());
        painter.setPen(Qt::NoPen);
        paintGlyph(painter, glyphBox, kMarkStyles[k].colour, markGlyphs()[k]);
        meaningAt(x + kGlyphSize + kLegendGap, y, kMarkMeanings[k]);
    }
    painter.restore();
}

void PathDrawing::paintMoves(QPainter &painter, const PlaneTransform &plane) const
{
    painter.save();
    painter.setTransform(plane.transform(), true);
    painter.setBrush(Qt::NoBrush);
    // Unreached moves first, so the travelled path is drawn over them. Hairlines: a
    // one-pixel cosmetic pen takes the painter's fast line path, wider pens go
    // through the general stroker at many times the cost, which a 500-row program
    // would feel on every redraw.
    for (bool reached : {false, true}) {
        painter.setPen(reached ? cosmeticPen(kTravelColour, 1.0) : cosmeticPen(kUnreachedColour, 1.0, Qt::DashLine));
        for (const PathMove &move : m_path.moves) {
            if (move.reached == reached)
                painter.drawPolyline(QPolygonF(move.samples));
        }
    }
    painter.setPen(cosmeticPen(kHighlightColour, 4.0));
    for (const PathMove &move : m_path.moves) {
        if (move.row == m_highlightedRow)
            painter.drawPolyline(QPolygonF(move.samples));
    }
    painter.restore();
}

void PathDrawing::paintJumps(QPainter &painter, const PlaneTransform &plane) const
{
    for (const JumpArrow &jump : m_path.jumps) {
        const QColor colour =
            jump.row == m_highlightedRow ? kHighlightColour : (jump.reached ? kJumpColour : kUnreachedColour);
        painter.setPen(cosmeticPen(colour, jump.row == m_highlightedRow ? 2.5 : 1.5, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        const QPointF from = plane.toPixels(jump.from);
        const QPointF to = plane.toPixels(jump.to);
        QPainterPath curve(from);
        QPointF control;
        if (distance(from, to) < 6.0) {
            // A jump to where the head already stands: a small loop up and to the
            // left of the point, clear of its row number.
            control = from + QPointF(-4.0, -34.0);
            curve.cubicTo(from + QPointF(-34.0, -18.0), control, to);
        } else {
            // Bowed to one side, so an arrow never hides the straight move beneath it.
            const QPointF middle = (from + to) / 2.0;
            const QPointF along = to - from;
            control = middle + QPointF(along.y(), -along.x()) * 0.2;
            curve.quadTo(control, to);
        }
        painter.drawPath(curve);
        painter.setPen(cosmeticPen(colour, 1.0));
        painter.setBrush(colour);
        paintArrowHead(painter, to, control);
    }
}

void PathDrawing::paintMarkers(QPainter &painter, const PlaneTransform &plane) const
{
    painter.setFont(sizedFont(8));
    for (size_t i = 0; i < m_path.moves.size(); ++i) {
        const PathMove &move = m_path.moves[i];
        const QPointF centre = plane.toPixels(move.target);
        const QColor colour = !move.reached ? kUnreachedColour : (move.home ? kHomeColour : kTravelColour);
        painter.setPen(cosmeticPen(colour, 1.5));
        painter.setBrush(move.reached ? QBrush(colour) : QBrush(Qt::white));
        if (move.home)
            painter.drawRect(QRectF(centre - QPointF(kMarkerRadius, kMarkerRadius), QSizeF(9.0, 9.0)));
        else
            painter.drawEllipse(centre, kMarkerRadius, kMarkerRadius);
        if (move.row == m_highlightedRow) {
            painter.setPen(cosmeticPen(kHighlightColour, 2.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(centre, 9.0, 9.0);
        }
        painter.setPen(move.reached ? kTextColour : kUnreachedColour);
        painter.drawStaticText(centre + QPointF(6.0, -18.0), m_rowNumbers[i]);
    }
}

void PathDrawing::paintMarks(QPainter &painter, const PlaneTransform &plane) const
{
    painter.setFont(glyphFont());
    for (size_t i = 0; i < m_path.marks.size(); ++i) {
        const PathMark &mark = m_path.marks[i];
        const QRectF box(glyphCentre(i, plane) - QPointF(kGlyphSize / 2.0, kGlyphSize / 2.0),
                         QSizeF(kGlyphSize, kGlyphSize));
        const bool highlighted = mark.row == m_highlightedRow;
        painter.setPen(highlighted ? cosmeticPen(kHighlightColour, 2.5) : Qt::NoPen);
        paintGlyph(painter, box, mark.reached ? styleOf(mark.kind).colour : kUnreachedColour,
                   markGlyphs()[static_cast<size_t>(mark.kind)]);
    }
}

void PathDrawing::paintLoops(QPainter &painter, const PlaneTransform &plane) const
{
    painter.setFont(badgeFont());
    for (const LoopBadge &loop : m_path.loops) {
        const QRectF box = badgeBox(loop, plane);
        painter.setPen(loop.row == m_highlightedRow ? cosmeticPen(kHighlightColour, 2.0) : Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 220));
        painter.drawRoundedRect(box, 3.0, 3.0);
        painter.setPen(kLoopColour);
        painter.drawText(box, Qt::AlignCenter, loop.text);
    }
}

PathDrawing::Hit PathDrawing::hitAt(QPointF pixel, const PlaneTransform &plane) const
{
    // Markers are drawn last row on top, so the last one in reach wins a tie; they lie
    // above the marks' glyphs, which lie above the loop badges.
    Hit hit;
    if (m_legendShown && legendBox(plane.viewSize()).contains(pixel))
        return hit;
    double best = kHitRadius;
    for (size_t i = 0; i < m_path.moves.size(); ++i) {
        const double d = distance(plane.toPixels(m_path.moves[i].target), pixel);
        if (d <= best) {
            best = d;
            hit = {Hit::Kind::Move, i};
        }
    }
    if (hit.kind != Hit::Kind::None)
        return hit;
    for (size_t i = 0; i < m_path.marks.size(); ++i) {
        const QPointF offset = glyphCentre(i, plane) - pixel;
        if (std::abs(offset.x()) <= kGlyphSize / 2.0 && std::abs(offset.y()) <= kGlyphSize / 2.0)
            return {Hit::Kind::Mark, i};
    }
    for (size_t i = 0; i < m_path.loops.size(); ++i) {
        if (badgeBox(m_path.loops[i], plane).contains(pixel))
            return {Hit::Kind::Loop, i};
    }
    return hit;
}

int PathDrawing::rowAt(QPointF pixel, const PlaneTransform &plane) const
{
    const Hit hit = hitAt(pixel, plane);
    switch (hit.kind) {
    case Hit::Kind::Move:
        return m_path.moves[hit.index].row;
    case Hit::Kind::Mark:
        return m_path.marks[hit.index].row;
    case Hit::Kind::Loop:
        return m_path.loops[hit.index].row;
    case Hit::Kind::None:
        break;
    }
    return 0;
}

QString PathDrawing::toolTipAt(QPointF pixel, const PlaneTransform &plane) const
{
    const Hit hit = hitAt(pixel, plane);
    switch (hit.kind) {
    case Hit::Kind::Move: {
        const PathMove &move = m_path.moves[hit.index];
        if (move.home)
            return QStringLiteral("第 %1 行: 回原點").arg(move.row) + unreachedNote(move.reached);
        return QStringLiteral("第 %1 行: 點 (%2, %3)")
                   .arg(move.row)
                   .arg(plainNumber(move.target.x()), plainNumber(move.target.y())) +
               unreachedNote(move.reached);
    }
    case Hit::Kind::Mark:
        return m_path.marks[hit.index].description + unreachedNote(m_path.marks[hit.index].reached);
    case Hit::Kind::Loop:
        return m_path.loops[hit.index].description;
    case Hit::Kind::None:
        break;
    }
    return QString();
}

} // namespace talvex
