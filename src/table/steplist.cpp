#include "table/steplist.h"

#include "table/editstate.h"
#include "table/programtable.h"
#include "table/stepkind.h"

#include <algorithm>

namespace talvex {

StepList::~StepList() = default;

void relistSteps(const ProgramTable &table, const EditState &state, StepList &list)
{
    list.clearItems();
    const int last = std::min(state.LastRow, ProgramTable::kMaxSteps);
    for (int i = 1; i <= last; ++i) {
        const Step row = table.row(i);
        list.addItem(i, QString::number(i), iconIndexOf(row[0]), {row[1], row[2], row[3], row[4]});
    }
}

} // namespace talvex
