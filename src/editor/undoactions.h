#pragma once

class QAction;
class QUndoStack;

namespace talvex {

/// Keeps the edit menu's two entries in step with @p stack: enabled when there is
/// something to undo or redo, and named after it ("復原 刪除第 3 行(&U)").
void bindUndoActions(QUndoStack &stack, QAction *undoAction, QAction *redoAction);

} // namespace talvex
