#pragma once

#include <QStringList>

// The commands of uvotool. Each takes the program's arguments (the program
// name first) and returns the exit status.
namespace UvoTool {

// Exit statuses.
inline constexpr int ExitSound = 0;     // done; for check: no findings
inline constexpr int ExitFindings = 1;  // check found problems; totals found no Trailer
inline constexpr int ExitFailure = 2;   // a file could not be read or written, or a usage error

int Run(const QStringList& arguments);
// Run, and then a failure to write standard output (a full disk, a closed
// pipe) makes the status 2 with a message on standard error.
int RunReported(const QStringList& arguments);

}  // namespace UvoTool
