#pragma once

#include "table/programtable.h"

#include <QString>

namespace talvex {

struct EditState;
struct PendingEdit;

/// Outcome of a placement attempt.
enum class Placement
{
    Nothing, ///< no edit request was pending
    Placed,
    Full, ///< an append or insert would need a row past step 500; nothing changed
};

/// Which block of the point placement ran.
enum class PointPlacement
{
    Nothing,
    Appended,
    Inserted,
    Modified,
    Full,
};

/// First action of every step button: arm an append unless an insert or a modify is
/// pending.
void armAppend(PendingEdit &state);

/// True when CurrentRow names a step row (1..LastRow).
bool isStepRow(const EditState &state);

/// The three placement blocks (append, insert, modify), each run when its flag is set,
/// in that order. A request whose row is no longer a step row (after New, Open or a
/// delete) lands after the last step instead of touching the header row. Refused as a
/// whole, with nothing changed, when the steps would pass 500.
Placement placeRows(ProgramTable &table, EditState &state, const Step &step);

/// The teach dialog's variant: the point is placed by the first block whose flag is set,
/// only while @p pointKindFlag reads as 1, and the block sets it to "0".
PointPlacement placePointRows(ProgramTable &table, EditState &state, QString &pointKindFlag, const Step &step);

/// Removes row CurrentRow and closes the gap; the old last row is emptied. Does nothing
/// and returns false when CurrentRow is not a step row.
bool deleteRow(ProgramTable &table, EditState &state);

/// What the next placed step will do, for the status bar: where an insert or an append
/// puts it, which row a modify writes over (the same fallbacks as placeRows). Empty
/// when nothing is pending and editing has not begun (@p editing).
QString pendingEditMessage(const PendingEdit &pending, int lastRow, bool editing);

/// Notice shown when the program already holds 500 steps.
QString programFullMessage();

} // namespace talvex
