#include "KeyboardHabits.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QShortcut>

void KeyboardHabits::ShowKeysInToolTips(QMainWindow& window)
{
    for (QAction* action : window.findChildren<QAction*>()) {
        const QKeySequence key = action->shortcut();
        if (key.isEmpty())
            continue;
        const QString suffix = QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + u')';
        // A tool tip without a hint of its own is the caption without its marker.
        const QString tip = action->toolTip();
        if (!tip.endsWith(suffix))
            action->setToolTip(tip + suffix);
    }
}

void KeyboardHabits::OpenMenuBarOnF10(QMainWindow& window)
{
    auto* key = new QShortcut(QKeySequence(Qt::Key_F10), &window);
    key->setObjectName(QStringLiteral("scMenuBar"));
    QObject::connect(key, &QShortcut::activated, &window, [&window] {
        QMenuBar* bar = window.menuBar();
        const QList<QAction*> menus = bar->actions();
        if (!menus.isEmpty())
            bar->setActiveAction(menus.first());
    });
}
