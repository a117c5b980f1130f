#include "CommandBars.h"

#include "TMainForm.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenuBar>
#include <QToolBar>

namespace {

constexpr int ToolButtonWidth = 23;

void AddGap(QToolBar& bar, int buttons, const char* name)
{
    auto* gap = new QWidget(&bar);
    gap->setObjectName(QLatin1String(name));
    gap->setFixedWidth(buttons * ToolButtonWidth);
    bar.addWidget(gap);
}

}  // namespace

QAction* CommandBars::NewCommand(QObject* owner, const char* name, const QString& caption, const QString& hint,
                                 QStyle::StandardPixmap icon, const QKeySequence& key)
{
    auto* action = new QAction(QApplication::style()->standardIcon(icon), caption, owner);
    action->setObjectName(QLatin1String(name));
    action->setToolTip(hint);
    action->setShortcut(key);
    return action;
}

void CommandBars::FillMenus(TMainForm& form)
{
    QMenuBar* bar = form.menuBar();
    form.mnFile = bar->addMenu(QStringLiteral("Файл"));
    form.mnFile->setObjectName(QStringLiteral("mnFile"));
    form.mnFile->addActions({form.actNew, form.actNewRecs, form.actOpen});
    form.mnFile->addSeparator();
    form.mnFile->addActions({form.actSave, form.actSaveAs});
    form.mnFile->addSeparator();
    form.mnFile->addAction(form.actLoadFromDB);
    form.mnFile->addSeparator();
    form.mnFile->addAction(form.actExit);

    form.mnView = bar->addMenu(QStringLiteral("Вид"));
    form.mnView->setObjectName(QStringLiteral("mnView"));
    form.mnView->addActions({form.actCollapse, form.actExpand});
    form.mnView->addSeparator();
    form.mnView->addAction(form.actSettings);
}

void CommandBars::FillToolBar(TMainForm& form)
{
    QToolBar& bar = *form.ToolBar;
    bar.addActions({form.actNew, form.actNewRecs, form.actOpen, form.actSave, form.actSaveAs, form.actLoadFromDB});
    AddGap(bar, 1, "tbGap1");
    bar.addAction(form.actSettings);
    AddGap(bar, 2, "tbGap2");
    bar.addWidget(form.cbFilter);
    bar.addActions({form.actCollapse, form.actExpand});
    AddGap(bar, 3, "tbGap3");
    bar.addAction(form.actExit);
}
