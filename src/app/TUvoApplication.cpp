#include "TUvoApplication.h"

#include "AppErrorGuard.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

TUvoApplication::TUvoApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // The application name only: a display name would be appended to every window caption.
    setApplicationName(AppTitle);
    // Every text of the program is Russian; so are the toolkit's own buttons
    // and file dialogs.
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
}

bool TUvoApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    RunGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
