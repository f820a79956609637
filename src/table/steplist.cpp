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
        const StepRow row = table.stepRow(i);
        // The kinds are numbered as their icons, Unknown as kUnknownKindIcon.
        list.addItem(i, QString::number(i), static_cast<int>(row.kind()), {row.datum(), row.x(), row.y(), row.out()});
    }
}

} // namespace talvex
