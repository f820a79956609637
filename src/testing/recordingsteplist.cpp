#include "testing/recordingsteplist.h"

#include <algorithm>

namespace talvex::testing {

void RecordingStepList::clearItems()
{
    ++rebuilds;
    items.clear();
}

void RecordingStepList::addItem(int position, const QString &text, int icon, const QStringList &subItems)
{
    const auto at = std::clamp<qsizetype>(position - 1, 0, items.size());
    items.insert(at, {position, text, icon, subItems});
}

void RecordingStepList::showSubItems(int position, const QStringList &subItems)
{
    for (Item &item : items) {
        if (item.position == position)
            item.subItems = subItems;
    }
}

} // namespace talvex::testing
