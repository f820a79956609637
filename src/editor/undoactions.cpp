#include "editor/undoactions.h"

#include <QAction>
#include <QUndoStack>

namespace talvex {

namespace {

void showHistoryEntry(QAction *action, const QString &verb, const QString &mnemonic, bool enabled, const QString &what)
{
    action->setEnabled(enabled);
    action->setText(what.isEmpty() ? verb + mnemonic : verb + QLatin1Char(' ') + what + mnemonic);
}

} // namespace

void bindUndoActions(QUndoStack &stack, QAction *undoAction, QAction *redoAction)
{
    const auto show = [&stack, undoAction, redoAction] {
        showHistoryEntry(undoAction, QStringLiteral("復原"), QStringLiteral("(&U)"), stack.canUndo(), stack.undoText());
        showHistoryEntry(redoAction, QStringLiteral("重做"), QStringLiteral("(&R)"), stack.canRedo(), stack.redoText());
    };
    QObject::connect(&stack, &QUndoStack::canUndoChanged, undoAction, show);
    QObject::connect(&stack, &QUndoStack::undoTextChanged, undoAction, show);
    QObject::connect(&stack, &QUndoStack::canRedoChanged, redoAction, show);
    QObject::connect(&stack, &QUndoStack::redoTextChanged, redoAction, show);
    QObject::connect(undoAction, &QAction::triggered, &stack, &QUndoStack::undo);
    QObject::connect(redoAction, &QAction::triggered, &stack, &QUndoStack::redo);
    show();
}

} // namespace talvex
