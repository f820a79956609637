#include "table/steplist.h"

#include "table/programtable.h"
#include "table/stepkind.h"

#include <algorithm>

namespace talvex {

StepList::~StepList() = default;

void StepList::showItem(int) {}

void StepList::describeItem(int, const QString &) {}

void addStepItem(const ProgramTable &table, int row, StepList &list)
{
    const StepRow step = table.stepRow(row);
    // The kinds are numbered as their icons, Unknown as kUnknownKindIcon.
    list.addItem(row, QString::number(row), static_cast<int>(step.kind()),
                 {step.datum(), step.x(), step.y(), step.out()});
}

void relistSteps(const ProgramTable &table, int lastRow, StepList &list)
{
    list.clearItems();
    const int last = std::min(lastRow, ProgramTable::kMaxSteps);
    for (int i = 1; i <= last; ++i)
        addStepItem(table, i, list);
}

} // namespace talvex
