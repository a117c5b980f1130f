#pragma once

class QAction;
class QObject;
class QUndoStack;

// The commands of the open file's undo history in the menu.
namespace UndoActions {

// "Отменить" (Ctrl+Z) and "Повторить" (Ctrl+Y, Ctrl+Shift+Z), each named after
// the step it would take back or do again, enabled while there is one.
QAction* NewUndoAction(QUndoStack& stack, QObject* owner);
QAction* NewRedoAction(QUndoStack& stack, QObject* owner);

}  // namespace UndoActions
