// content_bench [--format PATH] [--seed N] [ACCOUNTS ...]
//
// Generates a data file per number of accounts (default 1000 10000 50000) in
// a temporary folder (TMPDIR) and prints how long reading, writing, sorting
// and counting its records take, how much memory the read content holds, and
// `wc -l` on the same file as the floor that no reader can beat.

#include "BenchTables.h"
#include "ChildProcess.h"
#include "FormatFile.h"
#include "ProcessMemory.h"
#include "Stopwatch.h"
#include "TContent.h"
#include "TFormat.h"
#include "UvoFile.h"
#include "UvoGenerator.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <stdexcept>

namespace {

constexpr int Runs = 5;  // every time is the median of this many runs
constexpr double ReadTargetMBps = 300;
// Reading time over the time of `wc -l` on the same file, measured before the
// records were made compact (584.8 ms / 10.6 ms on 10,000 accounts), and the
// most that may be left of it.
constexpr double ReadFloorRatioBefore = 55.2;
constexpr double ReadFloorRatioTarget = 20;
// The content holds the file's characters once, in its own code page.
constexpr double PeakFileRatioTarget = 1.25;
// Reading stays linear: ns per record on the largest file at most this much
// above the smallest.
constexpr double ReadRangeGrowthTarget = 1.3;
constexpr double WriteTargetMBps = 200;
constexpr double SortTargetMsPer100k = 100;
constexpr quint32 ShuffleSeed = 20240628;

struct Options {
    QString FormatPath;
    quint32 Seed = 1;
    std::vector<int> Accounts;
};

bool FilesEqual(const QString& first, const QString& second)
{
    QFile a(first), b(second);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.size() != b.size())
        return false;
    constexpr qint64 Chunk = 1 << 20;
    while (!a.atEnd())
        if (a.read(Chunk) != b.read(Chunk))
            return false;
    return true;
}

int InvalidRecords(const TContent& content)
{
    return int(std::count_if(content.Records().begin(), content.Records().end(), [](const TContentRec* rec) {
        return std::any_of(rec->FldList.begin(), rec->FldList.end(),
                           [](const TContentFld& fld) { return !fld.IsValid(); });
    }));
}

TimingRow& AddRow(SizeResult& result, const char* operation, const Timing& timing, qint64 bytes, qint64 records,
                  Growth expected = Growth::Linear)
{
    TimingRow row;
    row.Operation = operation;
    row.Ms = timing.WallMs;
    row.CpuMs = timing.CpuMs;
    row.SystemMs = timing.SystemMs;
    row.Bytes = bytes;
    row.Records = records;
    row.Expected = expected;
    result.Timings.push_back(row);
    return result.Timings.back();
}

// Puts the records into a list that does not own them, in the given order.
void FillView(TContent& view, const std::vector<TContentRec*>& order)
{
    view.Clear();
    view.Reserve(int(order.size()));
    for (TContentRec* rec : order)
        view.Add(rec);
}

// Measures one file size after another; each file is made in a child process
// so that this process holds nothing but the content under measurement.
class ContentBench {
public:
    ContentBench(const TFormat& format, const QString& folder, quint32 seed)
        : FFormat(format), FFolder(folder), FSeed(seed)
    {
    }

    SizeResult Run(int accounts);

private:
    QString FilePath(int accounts, const char* suffix) const;
    void Generate(const QString& path, int accounts, SizeResult& result);
    void TimeFloor(const QString& path, SizeResult& result);
    std::unique_ptr<TContent> TimeRead(const QString& path, SizeResult& result);
    std::unique_ptr<TContent> ReadOnce(const QString& path, Timing& timing, MemoryRow* memory);
    void TimeWrite(const TContent& content, const QString& original, SizeResult& result);
    void TimeSorts(const TContent& content, SizeResult& result);
    void TimeTotals(TContent& content, SizeResult& result);

    const TFormat& FFormat;
    QString FFolder;
    quint32 FSeed;
};

SizeResult ContentBench::Run(int accounts)
{
    SizeResult result;
    result.Accounts = accounts;
    const QString path = FilePath(accounts, "");
    Generate(path, accounts, result);
    TimeFloor(path, result);
    std::unique_ptr<TContent> content = TimeRead(path, result);
    TimeWrite(*content, path, result);
    TimeSorts(*content, result);
    TimeTotals(*content, result);
    result.Notes.push_back(std::to_string(InvalidRecords(*content)) + " records hold a value their rule refuses");
    QFile::remove(path);
    return result;
}

QString ContentBench::FilePath(int accounts, const char* suffix) const
{
    return QStringLiteral("%1/accounts_%2%3.uvo").arg(FFolder).arg(accounts).arg(QLatin1String(suffix));
}

void ContentBench::Generate(const QString& path, int accounts, SizeResult& result)
{
    const Stopwatch watch;
    const std::string error = RunInChildProcess([&] {
        GeneratorOptions options;
        options.Accounts = accounts;
        options.Seed = FSeed;
        TContent content(FFormat);
        UvoGenerator(FFormat, options).Generate(content);
        UvoFile::Write(path, content);
    });
    if (!error.empty())
        throw std::runtime_error("generating " + path.toStdString() + ": " + error);
    result.FileBytes = QFileInfo(path).size();
    AddRow(result, "generate (child process)", Timing::Of(watch), result.FileBytes, 0);
}

void ContentBench::TimeFloor(const QString& path, SizeResult& result)
{
    const std::string command = "wc -l '" + path.toStdString() + "' > /dev/null";
    const Timing timing = MedianOf(Runs, [] {}, [&] {
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("failed: " + command);
    });
    AddRow(result, "floor: wc -l", timing, result.FileBytes, 0);
}

std::unique_ptr<TContent> ContentBench::TimeRead(const QString& path, SizeResult& result)
{
    std::unique_ptr<TContent> content;
    std::vector<Timing> timings;
    for (int run = 0; run < Runs; ++run) {
        content.reset();
        ProcessMemory::ReleaseFreeMemory();  // every run starts from memory fresh from the system
        Timing timing;
        content = ReadOnce(path, timing, run == 0 ? &result.Memory : nullptr);
        timings.push_back(timing);
    }
    const Timing median = Median(std::move(timings));
    result.Records = content->Count();
    AddRow(result, "read+parse+validate", median, result.FileBytes, result.Records).AtLeastMBps(ReadTargetMBps)
        .MaxRangeGrowth = ReadRangeGrowthTarget;
    result.Memory.MaxFileRatio = PeakFileRatioTarget;
    const double floorMs = result.Timings[result.Timings.size() - 2].Ms;
    const double ratio = median.WallMs / floorMs;
    char note[160];
    std::snprintf(note, sizeof note, "read / wc -l = %.1f (before: %.1f, target <= %.1f) %s", ratio,
                  ReadFloorRatioBefore, ReadFloorRatioTarget, ratio <= ReadFloorRatioTarget ? "ok" : "MISSED");
    result.Notes.push_back(note);
    return content;
}

std::unique_ptr<TContent> ContentBench::ReadOnce(const QString& path, Timing& timing, MemoryRow* memory)
{
    if (memory)
        memory->PeakMeasured = ProcessMemory::ResetPeak();
    const qint64 before = ProcessMemory::ResidentBytes();
    auto content = std::make_unique<TContent>(FFormat);
    const Stopwatch watch;
    const UvoFile::ReadResult read = UvoFile::Read(path, *content);
    timing = Timing::Of(watch);
    if (!read.Ok)
        throw std::runtime_error("reading " + path.toStdString() + ": " + read.Message.toStdString());
    if (memory) {
        memory->PeakGrowth = ProcessMemory::PeakBytes() - before;
        memory->Retained = ProcessMemory::ResidentBytes() - before;
    }
    return content;
}

void ContentBench::TimeWrite(const TContent& content, const QString& original, SizeResult& result)
{
    const qint64 records = content.Count();
    const Timing render = MedianOf(Runs, [] {}, [&] { UvoFile::Render(content); });
    AddRow(result, "render (in memory)", render, result.FileBytes, records);
    const QString written = FilePath(result.Accounts, ".written");
    const Timing write = MedianOf(Runs, [] {}, [&] { UvoFile::Write(written, content); });
    AddRow(result, "render+write", write, result.FileBytes, records).AtLeastMBps(WriteTargetMBps);
    result.Notes.push_back(FilesEqual(original, written) ? "the written file is identical to the file read"
                                                         : "WARNING: the written file differs from the file read");
    QFile::remove(written);
}

void ContentBench::TimeSorts(const TContent& content, SizeResult& result)
{
    const qint64 records = content.Count();
    const double target = SortTargetMsPer100k * double(records) / 100000.0;
    TContent view(FFormat, false);
    std::vector<TContentRec*> shuffled = content.Records();
    std::mt19937 engine(ShuffleSeed);
    const auto fileOrder = [&] { FillView(view, content.Records()); };
    const auto shuffledOrder = [&] {
        std::shuffle(shuffled.begin(), shuffled.end(), engine);
        FillView(view, shuffled);
    };
    const auto sortRec = [&] { view.SortRec(); };
    const auto sortRec2 = [&] { view.SortRec2(); };
    AddRow(result, "SortRec, shuffled", MedianOf(Runs, shuffledOrder, sortRec), 0, records, Growth::NLogN)
        .AtMostMs(target);
    AddRow(result, "SortRec, already sorted", MedianOf(Runs, fileOrder, sortRec), 0, records, Growth::NLogN)
        .AtMostMs(target);
    AddRow(result, "SortRec2, from file order", MedianOf(Runs, fileOrder, sortRec2), 0, records, Growth::NLogN);
}

void ContentBench::TimeTotals(TContent& content, SizeResult& result)
{
    AddRow(result, "CalcRecsCount", MedianOf(Runs, [] {}, [&] { content.CalcRecsCount(); }), 0, content.Count());
}

int Usage()
{
    std::fprintf(stderr, "usage: content_bench [--format PATH] [--seed N] [ACCOUNTS ...]\n"
                         "  ACCOUNTS defaults to 1000 10000 50000; files go to $TMPDIR\n");
    return 2;
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    options.FormatPath = FormatFile::TakePathOption(args);
    bool ok = true;
    if (const qsizetype at = args.indexOf(QStringLiteral("--seed")); at >= 0 && at + 1 < args.size()) {
        options.Seed = args.at(at + 1).toUInt(&ok);
        args.remove(at, 2);
    }
    for (const QString& arg : args) {
        const int accounts = arg.toInt(&ok);
        if (!ok || accounts <= 0)
            return false;
        options.Accounts.push_back(accounts);
    }
    if (options.Accounts.empty())
        options.Accounts = {1000, 10000, 50000};
    return ok;
}

void PrintIntro(const Options& options, const QString& folder)
{
    std::printf("content_bench: build %s, format %s, seed %u\n", UVO_BENCH_BUILD_TYPE,
                qPrintable(options.FormatPath), options.Seed);
    std::printf("files in %s; every time is the median of %d runs; the first read also measures memory\n",
                qPrintable(folder), Runs);
    std::printf("MB = 10^6 bytes; targets: read >= %.0f MB/s, write >= %.0f MB/s, SortRec <= %.0f ms per "
                "100,000 records\n",
                ReadTargetMBps, WriteTargetMBps, SortTargetMsPer100k);
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options))
        return Usage();
    TFormat format;
    if (!FormatFile::LoadOrTell(options.FormatPath, format, "content_bench"))
        return 1;
    const QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "content_bench: cannot create a temporary folder\n");
        return 1;
    }
    PrintIntro(options, folder.path());
    ContentBench bench(format, folder.path(), options.Seed);
    std::vector<SizeResult> sizes;
    try {
        for (int accounts : options.Accounts) {
            sizes.push_back(bench.Run(accounts));
            BenchTables::PrintTimings(sizes.back());
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "content_bench: %s\n", error.what());
        return 1;
    }
    BenchTables::PrintMemory(sizes);
    BenchTables::PrintScaling(sizes);
    return 0;
}
