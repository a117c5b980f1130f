#include "BenchTables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Growth beyond the expected factor that still counts as the expected shape:
// timings on a desktop vary by this much from run to run. The smallest file
// fits the processor caches and the larger ones do not, so the shape is judged
// on the last step only.
constexpr double GrowthTolerance = 1.5;

const char* VerdictText(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Met:
        return "ok";
    case Verdict::Missed:
        return "MISSED";
    default:
        return "";
    }
}

std::string Figure(double value, const char* format)
{
    if (value <= 0)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string WithTarget(const char* prefix, double value, const char* unit)
{
    char text[48];
    std::snprintf(text, sizeof text, "%s %.1f %s", prefix, value, unit);
    return text;
}

double Mb(qint64 bytes) { return bytes / 1e6; }

double ExpectedGrowth(Growth growth, qint64 fewRecords, qint64 manyRecords)
{
    if (growth == Growth::Linear || fewRecords < 2)
        return 1.0;
    return std::log(double(manyRecords)) / std::log(double(fewRecords));
}

const TimingRow* FindRow(const SizeResult& size, const std::string& operation)
{
    for (const TimingRow& row : size.Timings)
        if (row.Operation == operation)
            return &row;
    return nullptr;
}

void PrintScalingRow(const std::vector<SizeResult>& sizes, const TimingRow& first)
{
    std::printf("%-28s", first.Operation.c_str());
    for (const SizeResult& size : sizes) {
        const TimingRow* row = FindRow(size, first.Operation);
        std::printf(" %12s", Figure(row ? row->NsPerRecord() : 0, "%.1f").c_str());
    }
    const SizeResult& before = sizes[sizes.size() - 2];
    const TimingRow* from = FindRow(before, first.Operation);
    const TimingRow* to = FindRow(sizes.back(), first.Operation);
    if (!from || !to || from->NsPerRecord() <= 0 || to->NsPerRecord() <= 0) {
        std::printf("\n");
        return;
    }
    const double growth = to->NsPerRecord() / from->NsPerRecord();
    const double expected = ExpectedGrowth(first.Expected, before.Records, sizes.back().Records);
    std::printf("  %8.2fx  %-6s %8.2fx  %-6s", growth, first.Expected == Growth::Linear ? "n" : "n logn", expected,
                growth <= expected * GrowthTolerance ? "ok" : "MISSED");
    const TimingRow* smallest = FindRow(sizes.front(), first.Operation);
    if (first.MaxRangeGrowth > 0 && smallest && smallest->NsPerRecord() > 0) {
        const double range = to->NsPerRecord() / smallest->NsPerRecord();
        std::printf("  %.2fx (<= %.2fx) %s", range, first.MaxRangeGrowth, range <= first.MaxRangeGrowth ? "ok" : "MISSED");
    }
    std::printf("\n");
}

}  // namespace

TimingRow& TimingRow::AtLeastMBps(double mbps)
{
    Target = WithTarget(">=", mbps, "MB/s");
    Result = MBps() >= mbps ? Verdict::Met : Verdict::Missed;
    return *this;
}

TimingRow& TimingRow::AtMostMs(double ms)
{
    Target = WithTarget("<=", ms, "ms");
    Result = Ms <= ms ? Verdict::Met : Verdict::Missed;
    return *this;
}

namespace BenchTables {

void PrintTimings(const SizeResult& size)
{
    std::printf("\n== %d accounts: %lld records, %.1f MB\n", size.Accounts, size.Records, Mb(size.FileBytes));
    std::printf("%-28s %9s %9s %8s %9s %11s %9s  %-17s %s\n", "operation", "ms", "cpu ms", "sys ms", "MB/s", "rec/s",
                "ns/rec", "target", "");
    for (const TimingRow& row : size.Timings) {
        const double recordsPerSecond = row.Records > 0 && row.Ms > 0 ? row.Records * 1e3 / row.Ms : 0;
        std::printf("%-28s %9.1f %9.1f %8.1f %9s %11s %9s  %-17s %s\n", row.Operation.c_str(), row.Ms, row.CpuMs,
                    row.SystemMs,
                    Figure(row.MBps(), "%.1f").c_str(), Figure(recordsPerSecond, "%.0f").c_str(),
                    Figure(row.NsPerRecord(), "%.1f").c_str(), row.Target.c_str(), VerdictText(row.Result));
    }
    for (const std::string& note : size.Notes)
        std::printf("   %s\n", note.c_str());
}

void PrintMemory(const std::vector<SizeResult>& sizes)
{
    std::printf("\n== memory of the content read from the file (resident size growth)\n");
    std::printf("%9s %9s %9s  %10s %9s %8s  %10s %9s %8s  %-16s %s\n", "accounts", "records", "file MB", "peak MB",
                "B/rec", "x file", "kept MB", "B/rec", "x file", "target", "");
    for (const SizeResult& size : sizes) {
        const MemoryRow& memory = size.Memory;
        const double records = double(std::max<qint64>(size.Records, 1));
        const double file = double(std::max<qint64>(size.FileBytes, 1));
        const double peakRatio = memory.PeakGrowth / file;
        char target[32];
        std::snprintf(target, sizeof target, "peak <= %.2fx file", memory.MaxFileRatio);
        std::printf("%9d %9lld %9.1f  %10.1f %9.0f %7.2fx  %10.1f %9.0f %7.2fx  %-16s %s%s\n", size.Accounts,
                    size.Records, Mb(size.FileBytes), Mb(memory.PeakGrowth), memory.PeakGrowth / records, peakRatio,
                    Mb(memory.Retained), memory.Retained / records, memory.Retained / file, target,
                    peakRatio <= memory.MaxFileRatio ? "ok" : "MISSED",
                    memory.PeakMeasured ? "" : " (peak since start: the kernel refused a reset)");
    }
}

void PrintScaling(const std::vector<SizeResult>& sizes)
{
    if (sizes.size() < 2)
        return;
    std::printf("\n== growth: ns per record by accounts; the last step (the two largest files) against the shape "
                "the operation allows\n");
    std::printf("%-28s", "operation");
    for (const SizeResult& size : sizes)
        std::printf(" %12d", size.Accounts);
    std::printf("  %9s  %-6s %9s  %-6s  %s\n", "last step", "shape", "expected", "", "smallest to largest");
    for (const TimingRow& row : sizes.front().Timings)
        if (row.Records > 0)
            PrintScalingRow(sizes, row);
}

}  // namespace BenchTables
