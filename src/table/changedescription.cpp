#include "table/changedescription.h"

#include "table/editstate.h"
#include "table/placement.h"
#include "table/stepkind.h"

namespace talvex {

QString placementDescription(const EditState &before, const EditState &after, const Step &step)
{
    // The blocks run append, insert, modify; insert and modify together write one
    // new row, which is an insertion. A modify of a row that is gone appends.
    if (!before.AppendMode && before.InsertMode)
        return QStringLiteral("插入第 %1 行").arg(after.CurrentRow);
    if (!before.AppendMode && before.ModifyMode && isStepRow(before))
        return QStringLiteral("修改第 %1 行").arg(after.CurrentRow);
    return QStringLiteral("加入 ") + stepName(StepRow(step).kindText());
}

QString stepName(const QString &kindText)
{
    // The names of the buttons that place the steps; a kind no button places (LINE,
    // ARC, CIR, or none at all) goes by what the row says.
    switch (kindOf(kindText)) {
    case StepKind::Point:
        return QStringLiteral("點");
    case StepKind::Speed:
        return QStringLiteral("速度");
    case StepKind::Wait:
        return QStringLiteral("延遲");
    case StepKind::Loop:
        return QStringLiteral("迴圈");
    case StepKind::LoopEnd:
        return QStringLiteral("迴圈結束");
    case StepKind::Label:
        return QStringLiteral("標籤");
    case StepKind::JumpToLabel:
        return QStringLiteral("跳至標籤");
    case StepKind::Home:
        return QStringLiteral("回原點");
    case StepKind::Line:
    case StepKind::Arc:
    case StepKind::Circle:
    case StepKind::Unknown:
        break;
    }
    return kindText;
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
