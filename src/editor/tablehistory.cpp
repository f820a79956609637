#include "editor/tablehistory.h"

#include "core/operator.h"
#include "core/textnumber.h"
#include "editor/tablesnapshotcommand.h"
#include "files/recoveryfile.h"
#include "table/editstate.h"
#include "table/programtable.h"

#include <QAction>

#include <utility>

namespace talvex {

namespace {

void showHistoryEntry(QAction *action, const QString &verb, const QString &mnemonic, bool enabled, const QString &what)
{
    action->setEnabled(enabled);
    action->setText(what.isEmpty() ? verb + mnemonic : verb + QLatin1Char(' ') + what + mnemonic);
}

} // namespace

TableHistory::TableHistory(ProgramTable &table, EditState &edit, StationValues &values, QObject *parent)
    : QObject(parent), m_table(table), m_edit(edit), m_values(values), m_current(snapshotNow()), m_saved(m_current)
{
    m_stack.setUndoLimit(kUndoLimit);
}

TableHistory::~TableHistory() = default;

TableHistory::Snapshot TableHistory::snapshotNow() const
{
    return std::make_shared<const TableSnapshot>(m_table, m_edit.LastRow);
}

bool TableHistory::record(const QString &description)
{
    Snapshot now = snapshotNow();
    if (now->sameTable(*m_current))
        return false;
    Snapshot before = std::exchange(m_current, now);
    m_stack.push(new TableSnapshotCommand(description, std::move(before), std::move(now),
                                          [this](const Snapshot &snapshot) { restore(snapshot); }));
    updateRecovery();
    Q_EMIT changed();
    return true;
}

void TableHistory::markSaved()
{
    Snapshot now = snapshotNow();
    // Saving may have given the table the standard header; that is no step of its own.
    if (!now->sameTable(*m_current))
        m_current = now;
    m_saved = m_current;
    updateRecovery();
}

bool TableHistory::differsFromSaved() const
{
    return !TableSnapshot(m_table, m_edit.LastRow).sameProgram(*m_saved);
}

bool TableHistory::unsavedWork() const
{
    return m_edit.Dirty && m_edit.LastRow > 0 && differsFromSaved();
}

bool TableHistory::mayQuit(Operator &op, const std::function<bool()> &saveAs) const
{
    // Only work that would be lost is asked about: no steps, or the steps as they were
    // saved, opened or started with, quit at once.
    if (!unsavedWork())
        return true;
    switch (op.askYesNoCancel(quitQuestion(), messageTitle())) {
    case Operator::Answer::Yes:
        return saveAs();
    case Operator::Answer::No:
        return true;
    case Operator::Answer::Cancel:
        break;
    }
    return false;
}

QString TableHistory::quitQuestion()
{
    return QStringLiteral("程式尚未存檔, 是否要在結束前存檔?");
}

void TableHistory::restore(const Snapshot &snapshot)
{
    snapshot->restoreInto(m_table, m_edit.LastRow);
    m_current = snapshot;
    m_edit.Dirty = !snapshot->sameProgram(*m_saved);
    // A pending insert or modify names a row that may have moved or gone, so it is
    // dropped. An armed append lands after whatever the last step is then; a point
    // still being taught in the open teach dialog becomes one, so it is not lost.
    m_edit.InsertMode = false;
    m_edit.ModifyMode = false;
    if (leadingNumber(m_values.PointKindFlag) == 1.0)
        m_edit.AppendMode = true;
    updateRecovery();
    Q_EMIT restored();
    Q_EMIT changed();
}

void TableHistory::bindActions(QAction *undoAction, QAction *redoAction)
{
    const auto show = [this, undoAction, redoAction] {
        showHistoryEntry(undoAction, QStringLiteral("復原"), QStringLiteral("(&U)"), m_stack.canUndo(),
                         m_stack.undoText());
        showHistoryEntry(redoAction, QStringLiteral("重做"), QStringLiteral("(&R)"), m_stack.canRedo(),
                         m_stack.redoText());
    };
    connect(&m_stack, &QUndoStack::canUndoChanged, undoAction, show);
    connect(&m_stack, &QUndoStack::undoTextChanged, undoAction, show);
    connect(&m_stack, &QUndoStack::canRedoChanged, redoAction, show);
    connect(&m_stack, &QUndoStack::redoTextChanged, redoAction, show);
    connect(undoAction, &QAction::triggered, this, &TableHistory::undo);
    connect(redoAction, &QAction::triggered, this, &TableHistory::redo);
    show();
}

void TableHistory::setRecoveryFile(RecoveryFile *file)
{
    m_recovery = file;
    updateRecovery();
}

void TableHistory::updateRecovery()
{
    if (!m_recovery)
        return;
    if (m_edit.LastRow > 0 && differsFromSaved())
        m_recovery->markChanged();
    else
        m_recovery->discard();
}

} // namespace talvex
