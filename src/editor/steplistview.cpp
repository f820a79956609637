#include "editor/steplistview.h"

#include "editor/kindicons.h"

#include <QHeaderView>
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
    setColumnWidth(0, 80);
    for (int c = 1; c < 5; ++c)
        setColumnWidth(c, 125);

    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        if (item)
            Q_EMIT rowChosen(item->text(0));
    });
    // Moving through the list with the keyboard chooses rows as a click does; changes
    // made while the list is rebuilt are not the operator's.
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current) {
        if (!m_rebuilding && current && hasFocus())
            Q_EMIT rowChosen(current->text(0));
    });
}

void StepListView::clearItems()
{
    m_rebuilding = true;
    clear();
    m_rebuilding = false;
}

void StepListView::addItem(int position, const QString &text, int icon, const QStringList &subItems)
{
    m_rebuilding = true;
    auto *item = new QTreeWidgetItem;
    item->setText(0, text);
    item->setIcon(0, kindIcon(icon));
    item->setData(0, kIconRole, icon);
    for (int c = 0; c < 4 && c < subItems.size(); ++c)
        item->setText(c + 1, subItems.at(c));
    const int index = std::clamp(position - 1, 0, topLevelItemCount());
    insertTopLevelItem(index, item);
    m_rebuilding = false;
}

int StepListView::iconIndexAt(int index) const
{
    const QTreeWidgetItem *item = topLevelItem(index);
    return item ? item->data(0, kIconRole).toInt() : -1;
}

} // namespace talvex
