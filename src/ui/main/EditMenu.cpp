#include "EditMenu.h"

#include "TFindBar.h"
#include "TMainForm.h"
#include "TReplaceCommand.h"
#include "TUvoDocument.h"
#include "UndoActions.h"

#include <QAction>
#include <QIcon>
#include <QMenu>

void EditMenu::AddUndoAndFind(TMainForm& form)
{
    QUndoStack& history = form.Document().UndoStack();
    form.actUndo = UndoActions::NewUndoAction(history, &form);
    form.actRedo = UndoActions::NewRedoAction(history, &form);
    form.actFind = new QAction(QIcon::fromTheme(QStringLiteral("edit-find")), QStringLiteral("&Найти…"), &form);
    form.actFind->setObjectName(QStringLiteral("actFind"));
    form.actFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    QObject::connect(form.actFind, &QAction::triggered, form.FindBar, &TFindBar::Open);

    form.mnEdit->addActions({form.actUndo, form.actRedo});
    form.mnEdit->addSeparator();
    form.mnEdit->addAction(form.actFind);
    new TReplaceCommand(form);
    form.addActions({form.FindBar->actFindNext, form.FindBar->actFindPrevious});
}
