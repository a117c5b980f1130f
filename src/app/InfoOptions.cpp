#include "InfoOptions.h"

#include <QTextStream>

namespace {

constexpr const char* HelpText =
    "Usage: uvoedit [FILE]\n"
    "A desktop editor for UVO credit bureau submission files.\n"
    "\n"
    "  FILE           the .uvo file to open in the window\n"
    "  -h, --help     print this help and exit\n"
    "  -v, --version  print the version and exit\n"
    "\n"
    "The settings file \"uvoedit.ini\" is read from the current folder.\n"
    "Batch checks, totals, sorting and imports: uvotool --help.\n";

}  // namespace

std::optional<int> InfoOptions::Answer(const QStringList& args, QTextStream& out)
{
    for (const QString& arg : args) {
        if (arg == u"--") // what follows is a file name
            break;
        if (arg == u"--help" || arg == u"-h") {
            out << HelpText;
            return 0;
        }
        if (arg == u"--version" || arg == u"-v") {
            out << "uvoedit " << UVO_VERSION << '\n';
            return 0;
        }
    }
    return std::nullopt;
}
