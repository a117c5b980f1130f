#include "TExternalOpen.h"
#include "TMainForm.h"
#include "TUvoApplication.h"

#include <QTextStream>

int main(int argc, char** argv)
{
    TUvoApplication app(argc, argv);
    TMainForm form;
    auto* externalOpen = new TExternalOpen(form);
    form.show();
    // The settings dialog is made by the main window at its first use and
    // reused until exit; nothing in the window's construction uses it.
    QTextStream notes(stderr);
    externalOpen->OpenArguments(QCoreApplication::arguments().mid(1), notes);
    return app.exec();
}
