#include "table/changedescription.h"

#include "table/editstate.h"
#include "table/placement.h"

namespace talvex {

QString placementDescription(const EditState &before, const EditState &after, const Step &step)
{
    // The blocks run append, insert, modify; insert and modify together write one
    // new row, which is an insertion. A modify of a row that is gone appends.
    if (!before.AppendMode && before.InsertMode)
        return QStringLiteral("插入第 %1 行").arg(after.CurrentRow);
    if (!before.AppendMode && before.ModifyMode && isStepRow(before))
        return QStringLiteral("修改第 %1 行").arg(after.CurrentRow);
    return QStringLiteral("加入 ") + StepRow(step).kindText();
}

QString deleteDescription(int row)
{
    return QStringLiteral("刪除第 %1 行").arg(row);
}

QString newProgramDescription()
{
    return QStringLiteral("建立新檔");
}

QString openProgramDescription()
{
    return QStringLiteral("開啟舊檔");
}

QString recoverProgramDescription()
{
    return QStringLiteral("還原未存檔的程式");
}

} // namespace talvex
