#pragma once

#include <QApplication>
#include <QIcon>

// The application object. An error that escapes an event handler is shown in
// the general error box titled with the application title, and the event loop
// goes on with the window in the state it had.
class TUvoApplication : public QApplication {
public:
    TUvoApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // The program's icon, the one the desktop menu shows too.
    static QIcon AppIcon();
};
