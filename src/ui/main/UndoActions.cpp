#include "UndoActions.h"

#include <QAction>
#include <QIcon>
#include <QUndoStack>


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

QAction* UndoActions::NewUndoAction(QUndoStack& stack, QObject* owner)
{
    return NewStepAction(stack,
                         {"actUndo", QStringLiteral("&Отменить"), "edit-undo", {QKeySequence(Qt::CTRL | Qt::Key_Z)},
                          &QUndoStack::canUndo, &QUndoStack::undoText, &QUndoStack::undo},
                         owner);
}

QAction* UndoActions::NewRedoAction(QUndoStack& stack, QObject* owner)
{
    return NewStepAction(stack,
                         {"actRedo",
                          QStringLiteral("&Повторить"),
                          "edit-redo",
                          {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
                          &QUndoStack::canRedo,
                          &QUndoStack::redoText,
                          &QUndoStack::redo},
                         owner);
}
