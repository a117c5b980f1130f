#pragma once

#include <QObject>
#include <QUndoStack>

class QAction;
class QUndoCommand;
class TUvoDocument;

// The undo history of the open file. The open file's changed state follows
// it: the state last read or saved is the clean one, and undoing or redoing
// back to it leaves the file unchanged; a change made outside the history (a
// read that failed) leaves no state clean. Emptying the content list (open,
// new, a new file with records, an import into a new file) forgets the
// history, whose commands refer to the records.
class TUndoHistory : public QObject {
    Q_OBJECT
public:
    explicit TUndoHistory(TUvoDocument& document, QObject* parent = nullptr);

    QUndoStack& Stack() { return FStack; }
    // Runs the command and keeps it for undo.
    void Push(QUndoCommand* command) { FStack.push(command); }

    // "Отменить" (Ctrl+Z) and "Повторить" (Ctrl+Y, Ctrl+Shift+Z), each named
    // after the command it would take back or do again.
    QAction* NewUndoAction(QObject* owner);
    QAction* NewRedoAction(QObject* owner);

private:
    void DocumentStateWritten(bool changed);
    void StackMoved();
    void Forget();

    TUvoDocument& FDocument;
    QUndoStack FStack;
    bool FWriting = false;  // the document's state is being written from here
};
