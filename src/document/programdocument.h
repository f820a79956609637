#pragma once

#include "table/editstate.h"
#include "table/placement.h"
#include "table/programtable.h"
#include "table/tablesnapshot.h"

#include <QObject>
#include <QUndoStack>

#include <functional>
#include <memory>

namespace talvex {

class StepList;

/// What a change did, for the step list: a point appended by the teach dialog is added
/// to the list as one item (the dialog shows its targets as typed until the next
/// re-listing); every other change re-lists the whole table. The list then shows the
/// row a step was placed in.
struct ProgramChange
{
    bool pointAppended = false;
    /// The row a step or point was placed in; 0 for other changes.
    int row = 0;
};

/// The program being edited: the step table, LastRow, Dirty, and the history of its
/// changes for undo and redo. It is the table's only owner: every change of the
/// program is one of its methods, which makes the change one undo step (named as the
/// edit menu shows it) and emits changed() once. The step list, the preview, the
/// recovery file and the unsaved mark follow that signal; nobody re-lists or records
/// by hand.
///
/// The operator's pending request (CurrentRow and the three modes) is the window's;
/// the placing methods take it and update it as the placement rules say.
class ProgramDocument : public QObject
{
    Q_OBJECT

public:
    /// Undo steps kept; older ones are forgotten.
    static constexpr int kUndoLimit = 100;

    explicit ProgramDocument(QObject *parent = nullptr);
    ~ProgramDocument() override;

    const ProgramTable &table() const { return m_table; }
    /// Number of steps: the index of the last step row.
    int lastRow() const { return m_LastRow; }
    /// Editing has begun: the table may differ from the program file.
    bool isDirty() const { return m_Dirty; }
    /// @p pending with this program's LastRow and Dirty, as the placement rules see it.
    EditState editState(const PendingEdit &pending) const;
    /// True when @p row is a step row (1..LastRow).
    bool isStepRow(int row) const { return row >= 1 && row <= m_LastRow; }

    /// Editing begins (or, after New's discard, stays begun).
    void setDirty(bool dirty);

    /// Places @p step where @p pending asks (append, insert, modify, in that order).
    /// Refused as a whole, with nothing changed, when the steps would pass 500.
    Placement placeStep(const Step &step, PendingEdit &pending);
    /// The teach dialog's point: placed by the first pending block only, while
    /// @p pointKindFlag reads as 1, which the block sets to "0".
    PointPlacement placePoint(const Step &step, PendingEdit &pending, QString &pointKindFlag);
    /// Removes the step row pending.CurrentRow and closes the gap; false (and nothing
    /// changed) when it is no step row.
    bool deleteRow(const PendingEdit &pending);
    /// Puts a whole program in place of the one being edited (open, a recovered
    /// program): one undo step named @p description. Dirty is the caller's to set.
    void replaceProgram(const ProgramTable &table, int lastRow, const QString &description);
    /// An empty program with the standard header ("建立新檔").
    void clearProgram(const QString &description);
    /// Row 0 becomes the standard header. A save that could not keep the file's own
    /// header did this to the file; it is no step of its own.
    void adoptStandardHeader();

    /// The program as it stands is what a program file holds now (saved or opened), or
    /// what the station starts with.
    void markSaved();
    /// Rows 0..LastRow or LastRow differ from what was last saved, opened or started
    /// with.
    bool differsFromSaved() const;
    /// Work a quit would lose: editing has begun, there are steps, and they differ
    /// from what was last saved, opened or started with.
    bool unsavedWork() const;

    QUndoStack &undoStack() { return m_undo; }
    void undo() { m_undo.undo(); }
    void redo() { m_undo.redo(); }

Q_SIGNALS:
    /// The table or LastRow changed: a change by the operator, an undo or a redo.
    void changed(const talvex::ProgramChange &change);
    /// Undo or redo put an earlier program back: a pending insert or modify may name a
    /// row that moved or went. Emitted before changed().
    void restored();
    /// What was saved, Dirty, or whether the program differs from the file changed.
    void savedStateChanged();

private:
    using Snapshot = std::shared_ptr<const TableSnapshot>;

    Snapshot snapshotNow() const;
    /// After a change: when the table or LastRow differs from the state recorded last,
    /// the change becomes one undo step named @p description and changed() is emitted.
    void record(const QString &description, const ProgramChange &change = {});
    void restore(const Snapshot &snapshot);

    ProgramTable m_table;
    int m_LastRow = 0;
    bool m_Dirty = false;
    QUndoStack m_undo;
    /// The table as recorded last: the "before" of the next change.
    Snapshot m_current;
    /// The table as last saved, opened or started with.
    Snapshot m_saved;
};

/// What a step does in words (the step list's tooltips).
using StepDescriber = std::function<QString(const StepRow &)>;

/// Keeps @p list a mirror of @p document's steps from now on; with @p describe, each
/// item is described as well.
void bindStepList(ProgramDocument &document, StepList &list, StepDescriber describe = {});

} // namespace talvex
