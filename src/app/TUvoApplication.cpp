#include "TUvoApplication.h"

#include "AppErrorGuard.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

TUvoApplication::TUvoApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // The application name only: a display name would be appended to every window caption.
    setApplicationName(AppTitle);
    setApplicationVersion(QStringLiteral(UVO_VERSION));
    // Lets the desktop match the window with the menu entry "uvoedit.desktop".
    setDesktopFileName(QStringLiteral("uvoedit"));
    setWindowIcon(AppIcon());
    // Every text of the program is Russian; so are the toolkit's own buttons
    // and file dialogs.
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
}

// A resource compiled into a static library registers only when asked to; the
// request names a global function, so it cannot stand in a namespace.
static void RegisterIconResource() { Q_INIT_RESOURCE(appicon); }

QIcon TUvoApplication::AppIcon()
{
    RegisterIconResource();
    QIcon icon(QStringLiteral(":/icons/uvoedit.svg"));
    // The large drawing blurs in a task bar or a title bar; these sizes have a drawing of their own.
    for (const int size : {16, 24})
        icon.addFile(QStringLiteral(":/icons/uvoedit-small.svg"), QSize(size, size));
    return icon;
}

bool TUvoApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    RunGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
