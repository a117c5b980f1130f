#include "TUvoApplication.h"

#include "AppErrorGuard.h"

TUvoApplication::TUvoApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // The application name only: a display name would be appended to every window caption.
    setApplicationName(AppTitle);
}

bool TUvoApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    RunGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
