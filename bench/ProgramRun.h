#pragma once

#include <QtGlobal>

#include <string>
#include <vector>

// What one run of another program took: its own wall-clock and processor
// time and the most memory it held, as the kernel tells the parent that
// waited for it.
struct ProgramRun {
    int ExitCode = -1;  // -1 when it did not end by itself
    double WallMs = 0;
    double CpuMs = 0;
    double SystemMs = 0;
    qint64 PeakBytes = 0;
};

// Runs the program (found on PATH unless the first argument is a path) with
// its standard output going to outFile, and waits for it. Throws
// std::runtime_error when it cannot be started.
ProgramRun RunProgram(const std::vector<std::string>& arguments, const std::string& outFile);

// The run with the median wall-clock time.
ProgramRun MedianRun(std::vector<ProgramRun> runs);
