#include "CommandBars.h"

#include "TMainForm.h"

#include <QAction>
#include <QComboBox>
#include <QHash>
#include <QIcon>
#include <QMenuBar>
#include <QToolBar>

// A resource compiled into a static library registers only when asked to; the
// request names a global function, so it cannot stand in a namespace.
static void RegisterIcons() { Q_INIT_RESOURCE(commandicons); }

namespace {

// The freedesktop icon name of each command; collapsing and expanding all
// panels have none there and go by the names the KDE theme gives them.
const QHash<QString, QString> ThemeIconNames = {
    {QStringLiteral("actNew"), QStringLiteral("document-new")},
    {QStringLiteral("actNewRecs"), QStringLiteral("x-office-spreadsheet-template")},
    {QStringLiteral("actOpen"), QStringLiteral("document-open")},
    {QStringLiteral("actSave"), QStringLiteral("document-save")},
    {QStringLiteral("actSaveAs"), QStringLiteral("document-save-as")},
    {QStringLiteral("actLoadFromDB"), QStringLiteral("network-server")},
    {QStringLiteral("actSettings"), QStringLiteral("preferences-system")},
    {QStringLiteral("actCollapse"), QStringLiteral("collapse-all")},
    {QStringLiteral("actExpand"), QStringLiteral("expand-all")},
    {QStringLiteral("actExit"), QStringLiteral("application-exit")},
};

QIcon CommandIcon(const QString& name)
{
    RegisterIcons();
    return QIcon::fromTheme(ThemeIconNames.value(name), QIcon(QStringLiteral(":/icons/%1.svg").arg(name)));
}

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
                                 const QKeySequence& key)
{
    auto* action = new QAction(CommandIcon(QLatin1String(name)), caption, owner);
    action->setObjectName(QLatin1String(name));
    action->setToolTip(hint);
    action->setShortcut(key);
    return action;
}

void CommandBars::FillMenus(TMainForm& form)
{
    QMenuBar* bar = form.menuBar();
    // The bars are fixed: no menu offers to hide them.
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    form.mnFile = bar->addMenu(QStringLiteral("&Файл"));
    form.mnFile->setObjectName(QStringLiteral("mnFile"));
    form.mnFile->addActions({form.actNew, form.actNewRecs, form.actOpen});
    form.mnFile->addSeparator();
    form.mnFile->addActions({form.actSave, form.actSaveAs});
    form.mnFile->addSeparator();
    form.mnFile->addAction(form.actLoadFromDB);
    form.mnFile->addSeparator();
    form.mnFile->addAction(form.actExit);

    // Undo, find and the problems list; their actions are added by the parts
    // of the window that carry them.
    form.mnEdit = bar->addMenu(QStringLiteral("&Правка"));
    form.mnEdit->setObjectName(QStringLiteral("mnEdit"));

    form.mnView = bar->addMenu(QStringLiteral("&Вид"));
    form.mnView->setObjectName(QStringLiteral("mnView"));
    form.mnView->addActions({form.actCollapse, form.actExpand});
    form.mnView->addSeparator();
    form.mnView->addAction(form.actSettings);
}

void CommandBars::FillToolBar(TMainForm& form)
{
    QToolBar& bar = *form.ToolBar;
    bar.setContextMenuPolicy(Qt::PreventContextMenu);
    bar.toggleViewAction()->setVisible(false);
    bar.addActions({form.actNew, form.actNewRecs, form.actOpen, form.actSave, form.actSaveAs, form.actLoadFromDB});
    AddGap(bar, 1, "tbGap1");
    bar.addAction(form.actSettings);
    AddGap(bar, 2, "tbGap2");
    bar.addWidget(form.cbFilter);
    bar.addActions({form.actCollapse, form.actExpand});
    AddGap(bar, 3, "tbGap3");
    bar.addAction(form.actExit);
}
