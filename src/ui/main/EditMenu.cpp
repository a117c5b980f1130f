#include "EditMenu.h"

#include "TFindBar.h"
#include "TMainForm.h"
#include "TRecordCommands.h"
#include "TUndoHistory.h"

#include <QAction>
#include <QIcon>
#include <QMenu>

void EditMenu::AddUndoAndFind(TMainForm& form)
{
    TUndoHistory& history = form.RecordCommands().History();
    form.actUndo = history.NewUndoAction(&form);
    form.actRedo = history.NewRedoAction(&form);
    form.actFind = new QAction(QIcon::fromTheme(QStringLiteral("edit-find")), QStringLiteral("Найти…"), &form);
    form.actFind->setObjectName(QStringLiteral("actFind"));
    form.actFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    QObject::connect(form.actFind, &QAction::triggered, form.FindBar, &TFindBar::Open);

    form.mnEdit->addActions({form.actUndo, form.actRedo});
    form.mnEdit->addSeparator();
    form.mnEdit->addAction(form.actFind);
    form.addActions({form.FindBar->actFindNext, form.FindBar->actFindPrevious});
}
