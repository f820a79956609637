#include "table/steplist.h"

#include "table/programtable.h"
#include "table/stepkind.h"

#include <algorithm>

namespace talvex {

StepList::~StepList() = default;

void addStepItem(const ProgramTable &table, int row, StepList &list)
{
    const Step step = table.row(row);
    list.addItem(row, QString::number(row), iconIndexOf(step[0]), {step[1], step[2], step[3], step[4]});
}

void relistSteps(const ProgramTable &table, int lastRow, StepList &list)
{
    list.clearItems();
    const int last = std::min(lastRow, ProgramTable::kMaxSteps);
    for (int i = 1; i <= last; ++i)
        addStepItem(table, i, list);
}

} // namespace talvex
