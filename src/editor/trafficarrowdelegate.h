#pragma once

#include <QStyledItemDelegate>

namespace talvex {

/// Draws the direction of a traffic log entry as an arrow of its own, in the entry's
/// colour. The fixed-width fonts draw "→" and "←" small and thin, some not at all (a
/// box, or a glyph from another face that stands out); the entry keeps the character
/// as its text for saving, copying and screen readers.
class TrafficArrowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    /// How long the arrow is drawn for a font of @p height pixels.
    static double arrowLength(double height) { return 1.6 * height; }
};

} // namespace talvex
