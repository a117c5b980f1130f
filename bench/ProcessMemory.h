#pragma once

#include <QtGlobal>

// The memory this process holds in RAM, as Linux reports it in /proc.
namespace ProcessMemory {

qint64 ResidentBytes();  // VmRSS: resident now
qint64 PeakBytes();      // VmHWM: the most resident since start or the last ResetPeak
// Starts a new peak from the current resident size; false where the kernel
// does not allow it (then PeakBytes covers the whole run).
bool ResetPeak();
// Gives memory the allocator keeps for reuse back to the system, so that the
// next measurement starts from what is really in use.
void ReleaseFreeMemory();

}  // namespace ProcessMemory
