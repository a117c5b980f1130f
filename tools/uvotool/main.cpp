// uvotool: the command-line companion of UVO Edit for batch jobs.

#include "Commands.h"
#include "OutOfMemory.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    OutOfMemory::ExitWithMessage("uvotool: out of memory; the command stopped.\n");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("uvotool"));
    QCoreApplication::setApplicationVersion(QStringLiteral(UVO_VERSION));
    return UvoTool::RunReported(QCoreApplication::arguments());
}
