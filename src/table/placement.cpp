#include "table/placement.h"

#include "core/textnumber.h"
#include "table/editstate.h"

namespace talvex {

namespace {

void insertAt(ProgramTable &table, EditState &state, const Step &step)
{
    // A pending insert whose row vanished (New, Open, a delete) would otherwise shift
    // the header row down; it goes after the last step instead.
    if (state.CurrentRow < 1 || state.CurrentRow > state.LastRow + 1)
        state.CurrentRow = state.LastRow + 1;
    for (int j = state.LastRow + 1; j > state.CurrentRow; --j)
        table.setRow(j, table.row(j - 1));
    table.setRow(state.CurrentRow, step);
    state.LastRow += 1;
}

void appendRow(ProgramTable &table, EditState &state, const Step &step)
{
    state.LastRow += 1;
    state.CurrentRow = state.LastRow;
    table.setRow(state.CurrentRow, step);
}

void modifyRow(ProgramTable &table, EditState &state, const Step &step)
{
    // Writing over a row that is not a step would damage the header or vanish past
    // the end; the step is kept by adding it after the last one.
    if (!isStepRow(state)) {
        appendRow(table, state, step);
        return;
    }
    table.setRow(state.CurrentRow, step);
}

int rowsNeeded(const EditState &state)
{
    int needed = 0;
    if (state.AppendMode)
        ++needed;
    if (state.InsertMode)
        ++needed;
    if (state.ModifyMode && !state.AppendMode && !state.InsertMode && !isStepRow(state))
        ++needed;
    return needed;
}

} // namespace

void armAppend(PendingEdit &state)
{
    if (!state.InsertMode && !state.ModifyMode)
        state.AppendMode = true;
}

bool isStepRow(const EditState &state)
{
    return state.CurrentRow >= 1 && state.CurrentRow <= state.LastRow;
}

Placement placeRows(ProgramTable &table, EditState &state, const Step &step)
{
    if (!state.AppendMode && !state.InsertMode && !state.ModifyMode)
        return Placement::Nothing;
    if (state.LastRow + rowsNeeded(state) > ProgramTable::kMaxSteps)
        return Placement::Full;

    if (state.AppendMode) {
        appendRow(table, state, step);
        state.AppendMode = false;
    }
    if (state.InsertMode) {
        insertAt(table, state, step);
        state.InsertMode = false;
    }
    if (state.ModifyMode) {
        modifyRow(table, state, step);
        state.ModifyMode = false;
    }
    return Placement::Placed;
}

PointPlacement placePointRows(ProgramTable &table, EditState &state, QString &pointKindFlag, const Step &step)
{
    if (leadingNumber(pointKindFlag) != 1.0)
        return PointPlacement::Nothing;

    if (state.AppendMode) {
        if (state.LastRow >= ProgramTable::kMaxSteps)
            return PointPlacement::Full;
        appendRow(table, state, step);
        pointKindFlag = QStringLiteral("0");
        state.AppendMode = false;
        return PointPlacement::Appended;
    }
    if (state.InsertMode) {
        if (state.LastRow >= ProgramTable::kMaxSteps)
            return PointPlacement::Full;
        insertAt(table, state, step);
        pointKindFlag = QStringLiteral("0");
        state.InsertMode = false;
        return PointPlacement::Inserted;
    }
    if (state.ModifyMode) {
        if (!isStepRow(state) && state.LastRow >= ProgramTable::kMaxSteps)
            return PointPlacement::Full;
        const bool appended = !isStepRow(state);
        modifyRow(table, state, step);
        pointKindFlag = QStringLiteral("0");
        state.ModifyMode = false;
        return appended ? PointPlacement::Appended : PointPlacement::Modified;
    }
    return PointPlacement::Nothing;
}

bool deleteRow(ProgramTable &table, EditState &state)
{
    if (!isStepRow(state))
        return false;
    for (int j = state.CurrentRow; j < state.LastRow; ++j)
        table.setRow(j, table.row(j + 1));
    table.setRow(state.LastRow, Step{});
    state.LastRow -= 1;
    return true;
}

QString pendingEditMessage(const PendingEdit &pending, int lastRow, bool editing)
{
    const bool onStep = pending.CurrentRow >= 1 && pending.CurrentRow <= lastRow;
    if (pending.ModifyMode && !pending.AppendMode && !pending.InsertMode && onStep)
        return QStringLiteral("修改第 %1 行").arg(pending.CurrentRow);
    const bool anyMode = pending.AppendMode || pending.InsertMode || pending.ModifyMode;
    if (!anyMode && !editing)
        return {};
    if (lastRow >= ProgramTable::kMaxSteps)
        return programFullMessage();
    if (pending.InsertMode && !pending.AppendMode && onStep)
        return QStringLiteral("插入: 下一個步驟將放在第 %1 行之前").arg(pending.CurrentRow);
    return QStringLiteral("加入: 下一個步驟將放在第 %1 行").arg(lastRow + 1);
}

QString programFullMessage()
{
    return QStringLiteral("程式已滿 500 步, 無法再加入步驟!");
}

} // namespace talvex
