#include "editor/tablesnapshotcommand.h"

#include <utility>

namespace talvex {

TableSnapshotCommand::TableSnapshotCommand(const QString &text, Snapshot before, Snapshot after, Restore restore)
    : QUndoCommand(text), m_before(std::move(before)), m_after(std::move(after)), m_restore(std::move(restore))
{
}

void TableSnapshotCommand::undo()
{
    m_restore(m_before);
}

void TableSnapshotCommand::redo()
{
    if (!m_pushed) {
        m_pushed = true;
        return;
    }
    m_restore(m_after);
}

} // namespace talvex
