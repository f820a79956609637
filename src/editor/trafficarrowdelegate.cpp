#include "editor/trafficarrowdelegate.h"

#include "editor/trafficlogmodel.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace talvex {

void TrafficArrowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const bool sent = item.text == TrafficLogModel::arrowOf(LineTrafficObserver::Direction::Sent);
    item.text.clear();
    const QWidget *widget = item.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    // Background, selection and focus as the style draws them, without the character.
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const QRectF box = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
    const double height = item.fontMetrics.height();
    const double length = std::min(arrowLength(height), box.width() - 2.0);
    const double head = height * 0.35;
    const double y = box.center().y();
    const double left = box.left() + 2.0;
    const double right = left + length;
    const double tip = sent ? right : left;
    const double back = sent ? tip - head : tip + head;
    QPainterPath shaft;
    shaft.moveTo(sent ? left : right, y);
    shaft.lineTo(sent ? back + 1.0 : back - 1.0, y);
    QPolygonF arrowHead{{tip, y}, {back, y - head * 0.7}, {back, y + head * 0.7}};

    const QColor colour = (item.state & QStyle::State_Selected) ? item.palette.color(QPalette::HighlightedText)
                                                                : index.data(Qt::ForegroundRole).value<QColor>();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(QPen(colour, std::max(1.5, height / 9.0), Qt::SolidLine, Qt::FlatCap));
    painter->drawPath(shaft);
    painter->setPen(Qt::NoPen);
    painter->setBrush(colour);
    painter->drawPolygon(arrowHead);
    painter->restore();
}

QSize TrafficArrowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const int height = option.fontMetrics.height();
    size.setWidth(std::max(size.width(), static_cast<int>(arrowLength(height)) + 12));
    return size;
}

} // namespace talvex
