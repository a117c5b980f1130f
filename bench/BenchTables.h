#pragma once

#include <QtGlobal>

#include <string>
#include <vector>

enum class Verdict { None, Met, Missed };

// How the time of an operation may grow with the number of records.
enum class Growth { Linear, NLogN };

// One timed operation on the file of one size.
struct TimingRow {
    std::string Operation;
    double Ms = 0;       // wall-clock time
    double CpuMs = 0;    // processor time in the same span
    double SystemMs = 0; // the part of it spent in the kernel
    qint64 Bytes = 0;    // bytes passed through, for MB/s; 0 where that means nothing
    qint64 Records = 0;  // records handled, for rec/s and ns/rec
    Growth Expected = Growth::Linear;
    std::string Target;  // empty where none is set
    Verdict Result = Verdict::None;
    // The most that ns per record may grow from the smallest file to the
    // largest; 0 for no such target.
    double MaxRangeGrowth = 0;

    double MBps() const { return Bytes > 0 && Ms > 0 ? Bytes / 1e3 / Ms : 0; }
    double NsPerRecord() const { return Records > 0 ? Ms * 1e6 / Records : 0; }
    // Sets a target of at least mbps megabytes per second.
    TimingRow& AtLeastMBps(double mbps);
    // Sets a target of at most ms milliseconds.
    TimingRow& AtMostMs(double ms);
};

// The memory of the content read from the file of one size.
struct MemoryRow {
    qint64 PeakGrowth = 0;  // resident growth at its height during the read
    qint64 Retained = 0;    // resident growth once the read is done
    bool PeakMeasured = true;
    double MaxFileRatio = 8.0;
};

struct SizeResult {
    int Accounts = 0;
    qint64 Records = 0;
    qint64 FileBytes = 0;
    std::vector<TimingRow> Timings;
    MemoryRow Memory;
    std::vector<std::string> Notes;  // printed under the timings
};

// Prints the figures as plain-text tables. MB are 10^6 bytes.
namespace BenchTables {

void PrintTimings(const SizeResult& size);
void PrintMemory(const std::vector<SizeResult>& sizes);
// ns per record of every operation at every size, whether the growth
// between the two largest sizes stays within what the operation allows, and
// the growth over the whole range against its target where one is set.
void PrintScaling(const std::vector<SizeResult>& sizes);

}  // namespace BenchTables
