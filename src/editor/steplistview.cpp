#include "editor/steplistview.h"

#include "editor/kindicons.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStyleOptionHeader>

namespace talvex {

namespace {

/// The list's header, measured in its own font. QHeaderView measures every section in
/// bold in case it is drawn highlighted; this list never highlights a section, and the
/// bold measurement alone loads a second CJK face of several megabytes at start-up.
class StepListHeader : public QHeaderView
{
public:
    explicit StepListHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent) {}

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override
    {
        QStyleOptionHeader option;
        initStyleOption(&option);
        option.section = logicalIndex;
        option.text =
            model() ? model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString() : QString();
        option.fontMetrics = fontMetrics();
        return style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
    }
};

} // namespace

StepListView::StepListView(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("ListView1"));
    setHeader(new StepListHeader(this));
    header()->setHighlightSections(false);
    setColumnCount(5);
    // The spaces belong to the captions.
    setHeaderLabels({QStringLiteral(" 行 數 "), QStringLiteral("IN或數據"), QStringLiteral(" X 座標"),
                     QStringLiteral(" Y 座標"), QStringLiteral("  OUT  ")});
    setHeaderHidden(false);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(kindIconSize());
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setAlternatingRowColors(true);
    setUniformRowHeights(true);
    header()->setSectionsMovable(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The row number keeps its width; the four data columns share the rest, so the
    // list never needs a horizontal scroll bar, however narrow or wide the window.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    header()->setStretchLastSection(false);
    header()->setMinimumSectionSize(40);
    setColumnWidth(0, 80);
    header()->setSectionResizeMode(0, QHeaderView::Fixed);
    for (int c = 1; c < 5; ++c)
        header()->setSectionResizeMode(c, QHeaderView::Stretch);

    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        if (item)
            Q_EMIT rowChosen(item->text(0));
    });
}

QTreeWidgetItem *StepListView::selectedRow() const
{
    const QList<QTreeWidgetItem *> items = selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

void StepListView::keyPressEvent(QKeyEvent *event)
{
    // Only a row the operator selects counts as chosen. The current item alone does
    // not: the view makes the first row current when focus arrives by Tab, and a
    // rebuild moves it too, and neither is a choice that may arm the row buttons.
    QTreeWidgetItem *before = selectedRow();
    QTreeWidget::keyPressEvent(event);
    QTreeWidgetItem *after = selectedRow();
    if (after && after != before)
        Q_EMIT rowChosen(after->text(0));
}

void StepListView::clearItems()
{
    clear();
}

void StepListView::addItem(int position, const QString &text, int icon, const QStringList &subItems)
{
    auto *item = new QTreeWidgetItem;
    item->setText(0, text);
    item->setIcon(0, kindIcon(icon));
    item->setData(0, kIconRole, icon);
    for (int c = 0; c < 4 && c < subItems.size(); ++c)
        item->setText(c + 1, subItems.at(c));
    const int index = std::clamp(position - 1, 0, topLevelItemCount());
    insertTopLevelItem(index, item);
}

void StepListView::showSubItems(int position, const QStringList &subItems)
{
    QTreeWidgetItem *item = topLevelItem(position - 1);
    if (!item)
        return;
    for (int c = 0; c < 4 && c < subItems.size(); ++c)
        item->setText(c + 1, subItems.at(c));
}

void StepListView::showItem(int position)
{
    if (QTreeWidgetItem *item = topLevelItem(position - 1))
        scrollToItem(item);
}

void StepListView::describeItem(int position, const QString &description)
{
    if (QTreeWidgetItem *item = topLevelItem(position - 1)) {
        item->setData(0, kDescriptionRole, description);
        showToolTip(item);
    }
}

void StepListView::setProblemsAt(int index, const QString &sentences)
{
    if (QTreeWidgetItem *item = topLevelItem(index)) {
        item->setData(0, kProblemsRole, sentences);
        showToolTip(item);
    }
}

void StepListView::showToolTip(QTreeWidgetItem *item) const
{
    QStringList lines;
    for (const int role : {kDescriptionRole, kProblemsRole}) {
        const QString text = item->data(0, role).toString();
        if (!text.isEmpty())
            lines << text;
    }
    const QString tip = lines.join(QLatin1Char('\n'));
    for (int c = 0; c < columnCount(); ++c)
        item->setToolTip(c, tip);
}

void StepListView::selectRow(int row)
{
    QTreeWidgetItem *item = topLevelItem(row - 1);
    if (!item)
        return;
    setCurrentItem(item);
    scrollToItem(item);
}

int StepListView::iconIndexAt(int index) const
{
    const QTreeWidgetItem *item = topLevelItem(index);
    return item ? item->data(0, kIconRole).toInt() : -1;
}

} // namespace talvex
