#pragma once

#include "table/tablesnapshot.h"

#include <QObject>
#include <QUndoStack>

#include <functional>
#include <memory>

class QAction;

namespace talvex {

class Operator;
class ProgramTable;
class RecoveryFile;
struct EditState;
struct StationValues;

/// The history of the operator's changes to the step table, for undo and redo, and
/// what the table held when it was last saved or opened, for the question at quit and
/// for the recovery file. Every change of the table by the operator is reported to
/// record() once it is made; the state recorded last is the "before" of the next one.
class TableHistory : public QObject
{
    Q_OBJECT

public:
    /// Undo steps kept; older ones are forgotten.
    static constexpr int kUndoLimit = 100;

    TableHistory(ProgramTable &table, EditState &edit, StationValues &values, QObject *parent = nullptr);
    ~TableHistory() override;

    /// After a change of the table: when the table or LastRow differs from the state
    /// recorded last, the change becomes one undo step named @p description and
    /// changed() is emitted. Returns whether it did.
    bool record(const QString &description);
    /// The table as it stands is what a program file holds now (saved or opened), or
    /// what the station starts with.
    void markSaved();

    /// Rows 0..LastRow or LastRow differ from what was last saved, opened or started
    /// with.
    bool differsFromSaved() const;
    /// Work a quit would lose: editing has begun (Dirty), there are steps, and they
    /// differ from what was last saved, opened or started with.
    bool unsavedWork() const;
    /// Before the station quits: with unsaved work, asks whether to save it first. Yes
    /// runs @p saveAs, and the station may quit when it wrote the file; No quits
    /// without saving; Cancel (or the box's close button) stays.
    bool mayQuit(Operator &op, const std::function<bool()> &saveAs) const;
    static QString quitQuestion();

    QUndoStack &stack() { return m_stack; }
    void undo() { m_stack.undo(); }
    void redo() { m_stack.redo(); }
    /// Keeps the edit menu's two entries in step with the history: enabled when there
    /// is something to undo or redo, and named after it ("復原 刪除第 3 行(&U)").
    void bindActions(QAction *undoAction, QAction *redoAction);

    /// Keeps @p file (nullptr: none) in step with the table: written a moment after
    /// each change while the steps differ from what was saved, removed when they do
    /// not.
    void setRecoveryFile(RecoveryFile *file);

Q_SIGNALS:
    /// Undo or redo put an earlier table and LastRow back; Dirty and the pending edit
    /// requests are set already, the list is still to be rebuilt.
    void restored();
    /// The table changed: a recorded change, an undo or a redo.
    void changed();

private:
    using Snapshot = std::shared_ptr<const TableSnapshot>;

    Snapshot snapshotNow() const;
    void restore(const Snapshot &snapshot);
    void updateRecovery();

    ProgramTable &m_table;
    EditState &m_edit;
    StationValues &m_values;
    QUndoStack m_stack;
    /// The table as recorded last: the "before" of the next change.
    Snapshot m_current;
    /// The table as last saved, opened or started with.
    Snapshot m_saved;
    RecoveryFile *m_recovery = nullptr;
};

} // namespace talvex
