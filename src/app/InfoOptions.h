#pragma once

#include <QStringList>

#include <optional>

class QTextStream;

// "uvoedit --help" and "uvoedit --version" print and end the program before
// any window is made, so they work without a display too.
namespace InfoOptions {

// args are the program's arguments without its name. The exit code when one
// of the two options was given and answered in out; none otherwise.
std::optional<int> Answer(const QStringList& args, QTextStream& out);

}  // namespace InfoOptions
