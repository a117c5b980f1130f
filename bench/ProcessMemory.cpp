#include "ProcessMemory.h"

#include <malloc.h>

#include <fstream>
#include <string>

namespace {

// A "Name:   1234 kB" line of /proc/self/status, in bytes; 0 when absent.
qint64 StatusKilobytes(const std::string& name)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, name.size() + 1, name + ":") == 0)
            return std::stoll(line.substr(name.size() + 1)) * 1024;
    return 0;
}

}  // namespace

namespace ProcessMemory {

qint64 ResidentBytes() { return StatusKilobytes("VmRSS"); }

qint64 PeakBytes() { return StatusKilobytes("VmHWM"); }

bool ResetPeak()
{
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.flush();
    return bool(clearRefs);
}

void ReleaseFreeMemory() { malloc_trim(0); }

}  // namespace ProcessMemory
