#include "document/snapshotcommand.h"

#include <utility>

namespace talvex {

SnapshotCommand::SnapshotCommand(const QString &text, Snapshot before, Snapshot after, Restore restore)
    : QUndoCommand(text), m_before(std::move(before)), m_after(std::move(after)), m_restore(std::move(restore))
{
}

void SnapshotCommand::undo()
{
    m_restore(m_before);
}

void SnapshotCommand::redo()
{
    if (!m_pushed) {
        m_pushed = true;
        return;
    }
    m_restore(m_after);
}

} // namespace talvex
