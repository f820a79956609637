#pragma once

#include <QStringList>

namespace talvex {

class ProgramTable;

/// The step list as the table code sees it: a mirror of rows 1..LastRow, rebuilt from
/// the table. The main window implements it with its list view.
class StepList
{
public:
    virtual ~StepList();
    virtual void clearItems() = 0;
    /// Adds an item at @p position (1-based) with its text, kind icon index and the
    /// four sub-items (columns 1..4).
    virtual void addItem(int position, const QString &text, int icon, const QStringList &subItems) = 0;
    /// Shows @p subItems under the item at @p position (1-based) until the next rebuild.
    virtual void showSubItems(int position, const QStringList &subItems) = 0;
    /// Brings the item at @p position into view; a list that scrolls does.
    virtual void showItem(int position);
    /// Tells what the step at @p position (1-based) does, until the next rebuild; a
    /// list with tooltips shows it.
    virtual void describeItem(int position, const QString &description);
};

/// Rebuilds @p list from rows 1..@p lastRow: item text is the row number, the icon the
/// kind's index, the sub-items columns 1, 2, 3 and 4.
void relistSteps(const ProgramTable &table, int lastRow, StepList &list);
/// Adds the item of row @p row at its position, as relistSteps() shows it.
void addStepItem(const ProgramTable &table, int row, StepList &list);

} // namespace talvex
