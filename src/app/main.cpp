#include "AppWindows.h"
#include "TExternalOpen.h"
#include "TMainForm.h"
#include "TUvoApplication.h"

#include <QTextStream>

int main(int argc, char** argv)
{
    TUvoApplication app(argc, argv);
    const std::unique_ptr<TMainForm> form = CreateAppWindows();
    auto* externalOpen = new TExternalOpen(*form);
    form->show();
    QTextStream notes(stderr);
    externalOpen->OpenArguments(QCoreApplication::arguments().mid(1), notes);
    return app.exec();
}
