#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <vector>

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

// The timing with the median wall-clock time; none of none.
inline Timing Median(std::vector<Timing> timings)
{
    if (timings.empty())
        return {};
    const auto middle = timings.begin() + std::ptrdiff_t(timings.size() / 2);
    std::nth_element(timings.begin(), middle, timings.end(),
                     [](const Timing& a, const Timing& b) { return a.WallMs < b.WallMs; });
    return *middle;
}

// The run with the median wall-clock time of several timed runs of work,
// each after an untimed prepare: what a user meets most, neither the lucky
// run nor the one the rest of the machine disturbed.
template <typename Prepare, typename Work>
Timing MedianOf(int runs, Prepare prepare, Work work)
{
    std::vector<Timing> timings;
    for (int run = 0; run < runs; ++run) {
        prepare();
        const Stopwatch watch;
        work();
        timings.push_back(Timing::Of(watch));
    }
    return Median(std::move(timings));
}
