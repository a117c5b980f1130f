#include "AppErrorGuard.h"
#include "AppWindows.h"
#include "InfoOptions.h"
#include "OutOfMemory.h"
#include "SaveRecovery.h"
#include "TExternalOpen.h"
#include "TMainForm.h"
#include "TUvoApplication.h"
#include "TWindowSlot.h"

#include <QTextStream>
#include <QTimer>

int main(int argc, char** argv)
{
    OutOfMemory::ExitWithMessage("UVO Edit: недостаточно памяти, программа завершена.\n");
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QTextStream out(stdout);
    if (const std::optional<int> code = InfoOptions::Answer(args, out))
        return *code;

    TUvoApplication app(argc, argv);
    const std::unique_ptr<TMainForm> form = CreateAppWindows();
    auto* externalOpen = new TExternalOpen(*form);
    const TWindowSlot slot;
    slot.Place(*form);
    form->show();
    // Saves cut short are told once the window is up, before a file is opened.
    QTimer::singleShot(0, form.get(), [] { RunGuarded(SaveRecovery::OfferAll); });
    QTextStream notes(stderr);
    externalOpen->OpenArguments(QCoreApplication::arguments().mid(1), notes);
    return app.exec();
}
