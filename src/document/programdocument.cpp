#include "document/programdocument.h"

#include "document/snapshotcommand.h"
#include "table/changedescription.h"
#include "table/steplist.h"

#include <algorithm>
#include <utility>

namespace talvex {

ProgramDocument::ProgramDocument(QObject *parent) : QObject(parent)
{
    m_table.writeHeader();
    m_current = snapshotNow();
    m_saved = m_current;
    m_undo.setUndoLimit(kUndoLimit);
}

ProgramDocument::~ProgramDocument() = default;

EditState ProgramDocument::editState(const PendingEdit &pending) const
{
    EditState state;
    static_cast<PendingEdit &>(state) = pending;
    state.LastRow = m_LastRow;
    state.Dirty = m_Dirty;
    return state;
}

void ProgramDocument::setDirty(bool dirty)
{
    if (std::exchange(m_Dirty, dirty) != dirty)
        Q_EMIT savedStateChanged();
}

ProgramDocument::Snapshot ProgramDocument::snapshotNow() const
{
    return std::make_shared<const TableSnapshot>(m_table, m_LastRow);
}

void ProgramDocument::record(const QString &description, const ProgramChange &change)
{
    Snapshot now = snapshotNow();
    if (now->sameTable(*m_current))
        return;
    Snapshot before = std::exchange(m_current, now);
    m_undo.push(new SnapshotCommand(description, std::move(before), std::move(now),
                                    [this](const Snapshot &snapshot) { restore(snapshot); }));
    Q_EMIT changed(change);
    Q_EMIT savedStateChanged();
}

Placement ProgramDocument::placeStep(const Step &step, PendingEdit &pending)
{
    EditState state = editState(pending);
    const EditState before = state;
    const Placement outcome = placeRows(m_table, state, step);
    pending = state;
    m_LastRow = state.LastRow;
    if (outcome == Placement::Placed) {
        // Most steps come after a button that set Dirty already, but an undo back to
        // the saved program clears it while the step buttons stay enabled: the next
        // step is unsaved work all the same.
        setDirty(true);
        record(placementDescription(before, state, step), {false, pending.CurrentRow});
    }
    return outcome;
}

PointPlacement ProgramDocument::placePoint(const Step &step, PendingEdit &pending, QString &pointKindFlag)
{
    EditState state = editState(pending);
    const EditState before = state;
    const PointPlacement outcome = placePointRows(m_table, state, pointKindFlag, step);
    pending = state;
    m_LastRow = state.LastRow;
    if (outcome != PointPlacement::Nothing && outcome != PointPlacement::Full) {
        setDirty(true);
        record(placementDescription(before, state, step), {outcome == PointPlacement::Appended, pending.CurrentRow});
    }
    return outcome;
}

bool ProgramDocument::deleteRow(const PendingEdit &pending)
{
    EditState state = editState(pending);
    if (!talvex::deleteRow(m_table, state))
        return false;
    m_LastRow = state.LastRow;
    setDirty(true);
    record(deleteDescription(pending.CurrentRow));
    return true;
}

void ProgramDocument::replaceProgram(const ProgramTable &table, int lastRow, const QString &description)
{
    m_table = table;
    m_LastRow = lastRow;
    record(description);
}

void ProgramDocument::clearProgram(const QString &description)
{
    // A header read from another file does not outlive its program.
    m_table.writeHeader();
    m_LastRow = 0;
    record(description);
}

void ProgramDocument::adoptStandardHeader()
{
    m_table.writeHeader();
}

void ProgramDocument::markSaved()
{
    Snapshot now = snapshotNow();
    // Saving may have given the table the standard header; that is no step of its own.
    if (!now->sameTable(*m_current))
        m_current = now;
    m_saved = m_current;
    Q_EMIT savedStateChanged();
}

bool ProgramDocument::differsFromSaved() const
{
    return !TableSnapshot(m_table, m_LastRow).sameProgram(*m_saved);
}

bool ProgramDocument::unsavedWork() const
{
    return m_Dirty && m_LastRow > 0 && differsFromSaved();
}

void ProgramDocument::restore(const Snapshot &snapshot)
{
    snapshot->restoreInto(m_table, m_LastRow);
    m_current = snapshot;
    m_Dirty = !snapshot->sameProgram(*m_saved);
    Q_EMIT restored();
    Q_EMIT changed({});
    Q_EMIT savedStateChanged();
}

void bindStepList(ProgramDocument &document, StepList &list, StepDescriber describe)
{
    QObject::connect(&document, &ProgramDocument::changed, &document,
                     [&document, &list, describe = std::move(describe)](const ProgramChange &change) {
                         const ProgramTable &table = document.table();
                         int first = 1;
                         if (change.pointAppended) {
                             addStepItem(table, change.row, list);
                             first = change.row;
                         } else {
                             relistSteps(table, document.lastRow(), list);
                         }
                         if (describe) {
                             for (int row = first; row <= std::min(document.lastRow(), ProgramTable::kMaxSteps); ++row)
                                 list.describeItem(row, describe(table.stepRow(row)));
                         }
                         if (change.row > 0)
                             list.showItem(change.row);
                     });
}

} // namespace talvex
