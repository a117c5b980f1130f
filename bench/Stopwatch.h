#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <limits>

// Wall-clock time, and the processor time of this process and of the child
// processes it waited for, since construction: all of it, and the part spent
// in the kernel (file access, page faults on memory fresh from the system).
// Processor time far below the wall-clock time means the machine was busy
// with something else.
class Stopwatch {
public:
    double ElapsedMs() const { return std::chrono::duration<double, std::milli>(Clock::now() - FStart).count(); }
    double CpuMs() const { return Processor().AllMs - FProcessorStart.AllMs; }
    double SystemMs() const { return Processor().SystemMs - FProcessorStart.SystemMs; }

private:
    using Clock = std::chrono::steady_clock;

    struct ProcessorTime {
        double AllMs = 0;
        double SystemMs = 0;
    };

    static double Ms(const timeval& time) { return time.tv_sec * 1e3 + time.tv_usec / 1e3; }

    static ProcessorTime Processor()
    {
        ProcessorTime time;
        for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
            rusage usage{};
            getrusage(who, &usage);
            time.AllMs += Ms(usage.ru_utime) + Ms(usage.ru_stime);
            time.SystemMs += Ms(usage.ru_stime);
        }
        return time;
    }

    Clock::time_point FStart = Clock::now();
    ProcessorTime FProcessorStart = Processor();
};

struct Timing {
    double WallMs = std::numeric_limits<double>::infinity();
    double CpuMs = 0;
    double SystemMs = 0;

    static Timing Of(const Stopwatch& watch) { return {watch.ElapsedMs(), watch.CpuMs(), watch.SystemMs()}; }
};

// The run with the shortest wall-clock time of several timed runs of work,
// each after an untimed prepare: the run least disturbed by the rest of the
// machine.
template <typename Prepare, typename Work>
Timing BestOf(int runs, Prepare prepare, Work work)
{
    Timing best;
    for (int run = 0; run < runs; ++run) {
        prepare();
        const Stopwatch watch;
        work();
        const Timing timing = Timing::Of(watch);
        if (timing.WallMs < best.WallMs)
            best = timing;
    }
    return best;
}
