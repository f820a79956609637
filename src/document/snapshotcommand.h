#pragma once

#include "table/tablesnapshot.h"

#include <QUndoCommand>

#include <functional>
#include <memory>

namespace talvex {

/// One undo step: the table before and after a change. Undo and redo put one of the two
/// back through the function they were given. Neighbouring steps share the snapshot
/// between them, so a step costs one snapshot.
class SnapshotCommand : public QUndoCommand
{
public:
    using Snapshot = std::shared_ptr<const TableSnapshot>;
    using Restore = std::function<void(const Snapshot &)>;

    /// Made after the change, which is in the table already: the first redo (the one
    /// QUndoStack::push() runs) does nothing.
    SnapshotCommand(const QString &text, Snapshot before, Snapshot after, Restore restore);

    void undo() override;
    void redo() override;

private:
    Snapshot m_before;
    Snapshot m_after;
    Restore m_restore;
    bool m_pushed = false;
};

} // namespace talvex
