#include "TUndoHistory.h"

#include "TUvoDocument.h"

#include <QAction>
#include <QIcon>

#include <utility>

namespace {

// One direction of the history as a command of the menu.
struct THistoryStep {
    const char* Name;
    QString Caption;
    const char* ThemeIcon;
    QList<QKeySequence> Keys;
    bool (QUndoStack::*Can)() const;
    QString (QUndoStack::*Text)() const;
    void (QUndoStack::*Run)();
};

QAction* NewStepAction(QUndoStack& stack, const THistoryStep& step, QObject* owner)
{
    auto* action = new QAction(QIcon::fromTheme(QLatin1String(step.ThemeIcon)), step.Caption, owner);
    action->setObjectName(QLatin1String(step.Name));
    action->setShortcuts(step.Keys);
    const auto refresh = [&stack, action, step] {
        const QString text = (stack.*step.Text)();
        action->setText(text.isEmpty() ? step.Caption : step.Caption + QStringLiteral(": ") + text);
        action->setEnabled((stack.*step.Can)());
    };
    refresh();
    QObject::connect(&stack, &QUndoStack::indexChanged, action, refresh);
    QObject::connect(&stack, &QUndoStack::cleanChanged, action, refresh);
    QObject::connect(action, &QAction::triggered, &stack, [&stack, step] { (stack.*step.Run)(); });
    return action;
}

}  // namespace

TUndoHistory::TUndoHistory(TUvoDocument& document, QObject* parent) : QObject(parent), FDocument(document)
{
    connect(&FDocument, &TUvoDocument::RecsChangedWritten, this, &TUndoHistory::DocumentStateWritten);
    connect(&FDocument, &TUvoDocument::ContentCleared, this, &TUndoHistory::Forget);
    connect(&FStack, &QUndoStack::indexChanged, this, &TUndoHistory::StackMoved);
}

void TUndoHistory::DocumentStateWritten(bool changed)
{
    if (FWriting)
        return;
    if (changed)
        FStack.resetClean();  // no undo leads back to the file as it is stored
    else
        FStack.setClean();
}

void TUndoHistory::StackMoved()
{
    if (FWriting)
        return;
    const bool changed = !FStack.isClean();
    FWriting = true;
    FDocument.SetRecsChanged(changed);
    FWriting = false;
}

void TUndoHistory::Forget()
{
    // The file state is written by whatever refills the list.
    FWriting = true;
    FStack.clear();
    FWriting = false;
}

QAction* TUndoHistory::NewUndoAction(QObject* owner)
{
    return NewStepAction(FStack,
                         {"actUndo", QStringLiteral("Отменить"), "edit-undo", {QKeySequence(Qt::CTRL | Qt::Key_Z)},
                          &QUndoStack::canUndo, &QUndoStack::undoText, &QUndoStack::undo},
                         owner);
}

QAction* TUndoHistory::NewRedoAction(QObject* owner)
{
    return NewStepAction(FStack,
                         {"actRedo",
                          QStringLiteral("Повторить"),
                          "edit-redo",
                          {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
                          &QUndoStack::canRedo,
                          &QUndoStack::redoText,
                          &QUndoStack::redo},
                         owner);
}
