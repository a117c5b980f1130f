// diff_bench [--format PATH] [--seed N] [--keep DIR] [ACCOUNTS]
//
// Builds two submissions of ACCOUNTS accounts (default 10000): last month's
// and this month's, which has 1 % of the accounts added, 1 % removed, 1 % with
// one changed value and its lines shuffled. Runs `uvotool diff` on them and
// prints its time and peak memory (the run with the median time of five)
// beside `wc -l` on both files, against the targets, and the comparison's own
// share of the time as measured in this process. With --keep the two files
// stay in DIR as old.uvo and new.uvo.

#include "FormatFile.h"
#include "ProgramRun.h"
#include "Stopwatch.h"
#include "ContentComparison.h"
#include "ContentDiff.h"
#include "TContent.h"
#include "TFormat.h"
#include "TUvoDocument.h"
#include "UvoFile.h"
#include "UvoGenerator.h"
#include "UvoIds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int Runs = 5;
constexpr double TimeTargetMs = 1500;
constexpr double PeakFileRatioTarget = 2.5;
constexpr int EveryNth = 101;  // of the accounts made, one in this many is added, removed or changed
constexpr quint32 ShuffleSeed = 20240628;
const QString ChangedSurname = QStringLiteral("Изменённая");

struct Options {
    QString FormatPath;
    quint32 Seed = 1;
    int Accounts = 10000;
    QString KeepDir;
};

// The two files and what the comparison should find between them.
struct FilePair {
    QString Old;
    QString New;
    int Added = 0;
    int Removed = 0;
    int Changed = 0;
};

// The records of a made submission, account by account (they stand sorted, so
// each account's records are together).
std::vector<std::vector<TContentRec*>> AccountsOf(const TContent& content)
{
    std::vector<std::vector<TContentRec*>> accounts;
    for (TContentRec* rec : content.Records()) {
        if (rec->Account.isEmpty())
            continue;
        if (accounts.empty() || accounts.back().front()->Account != rec->Account)
            accounts.emplace_back();
        accounts.back().push_back(rec);
    }
    return accounts;
}

void ChangeSurname(const std::vector<TContentRec*>& account)
{
    for (TContentRec* rec : account)
        if (rec->Rec->RecID == UvoIds::ConsumerRecID) {
            rec->SetVal(UvoIds::SurnameFld, ChangedSurname);
            return;
        }
    throw std::runtime_error("an account without a Consumer Name record");
}

// Writes the Header, the accounts chosen and the Trailer with their totals,
// in the order given by `order`.
void WriteFile(const TContent& made, const std::vector<std::vector<TContentRec*>>& accounts,
               const std::vector<bool>& chosen, const QString& path, std::mt19937* shuffle)
{
    TContent list(made.Format(), false);
    list.Add(made.GetHeaderRec());
    for (size_t i = 0; i < accounts.size(); ++i)
        if (chosen[i])
            for (TContentRec* rec : accounts[i])
                list.Add(rec);
    list.Add(made.GetTrailerRec());
    list.CalcRecsCount();
    if (shuffle) {
        std::vector<TContentRec*> order = list.Records();
        std::shuffle(order.begin(), order.end(), *shuffle);
        list.Rearrange(std::move(order));
    }
    UvoFile::Write(path, list);
}

// Of the accounts made, one in EveryNth is only in the new file, one only in
// the old file, and one has a changed surname in the new file.
FilePair MakeFiles(const TFormat& format, const Options& options, const QString& folder)
{
    GeneratorOptions generator;
    generator.Accounts = options.Accounts + options.Accounts / (EveryNth - 1);
    generator.Seed = options.Seed;
    TContent made(format);
    UvoGenerator(format, generator).Generate(made);
    const auto accounts = AccountsOf(made);

    FilePair pair{folder + QStringLiteral("/old.uvo"), folder + QStringLiteral("/new.uvo")};
    std::vector<bool> inOld(accounts.size(), true), inNew(accounts.size(), true);
    for (size_t i = 0; i < accounts.size(); ++i) {
        if (i % EveryNth == 0) {
            inOld[i] = false;
            ++pair.Added;
        } else if (i % EveryNth == EveryNth / 2) {
            inNew[i] = false;
            ++pair.Removed;
        }
    }
    WriteFile(made, accounts, inOld, pair.Old, nullptr);
    for (size_t i = EveryNth / 4; i < accounts.size(); i += EveryNth) {
        ChangeSurname(accounts[i]);
        ++pair.Changed;
    }
    std::mt19937 shuffle(ShuffleSeed);
    WriteFile(made, accounts, inNew, pair.New, &shuffle);
    return pair;
}

QString ReadText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

std::vector<ProgramRun> RunTimes(const std::vector<std::string>& arguments, const std::string& outFile)
{
    std::vector<ProgramRun> runs;
    for (int run = 0; run < Runs; ++run)
        runs.push_back(RunProgram(arguments, outFile));
    return runs;
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

double MB(qint64 bytes) { return double(bytes) / 1e6; }

// The editor's share, in this process: the files read as the editor reads
// them, compared whole, and the comparison followed through an edit of one
// value and its undo, as the dock "Сравнение" follows them.
void PrintInProcess(const TFormat& format, const FilePair& pair)
{
    auto older = std::make_unique<TContent>(format);
    TUvoDocument document(format);
    const Stopwatch read;
    bool readOk = UvoFile::Read(pair.Old, *older).Ok;
    document.ReplaceAll([&](TContent& content) {
        readOk = UvoFile::Read(pair.New, content).Ok && readOk;
        return TReplacement{pair.New, false, true, {}};
    });
    if (!readOk)
        throw std::runtime_error("the files made cannot be read back");
    const double readMs = read.ElapsedMs();
    const TContent& newer = document.Content();
    const Timing compare = MedianOf(Runs, [] {}, [&] { TContentDiff diff(*older, newer); });

    TContentComparison comparison(std::move(older), newer);
    comparison.CompareAll();
    QObject::connect(&document, &TUvoDocument::RecordsChanged,
                     [&](const TRecordChange& change) { comparison.Update(change); });
    TContentRec* rec = newer[newer.Count() / 2];
    const Timing edit = MedianOf(Runs, [] {}, [&] {
        TContentRec edited(format);
        TContent::CopyRec(*rec, edited);
        edited.SetValue(rec->FldCount() - 2, QStringLiteral("X"));
        document.EditRecord(*rec, edited);
        document.UndoStack().undo();
    });
    std::printf("in this process: both files read as the editor reads them %.0f ms; TContentDiff %.0f ms "
                "(cpu %.0f ms); one edit and its undo followed by the comparison %.1f ms (cpu %.1f ms)\n",
                readMs, compare.WallMs, compare.CpuMs, edit.WallMs, edit.CpuMs);
}

void RunBench(const TFormat& format, const Options& options, const QString& folder)
{
    const FilePair pair = MakeFiles(format, options, folder);
    const qint64 bytes = QFileInfo(pair.Old).size() + QFileInfo(pair.New).size();
    const std::string out = (folder + QStringLiteral("/out.txt")).toStdString();

    const ProgramRun lines = MedianRun(RunTimes({"wc", "-l", pair.Old.toStdString(), pair.New.toStdString()}, out));
    std::printf("wc -l (%.0f ms):\n%s", lines.WallMs, qPrintable(ReadText(QString::fromStdString(out))));
    std::printf("both files: %.1f MB\n", MB(bytes));

    const std::vector<std::string> diff{UVO_TOOL_PATH, "diff", pair.Old.toStdString(), pair.New.toStdString()};
    const std::vector<ProgramRun> runs = RunTimes(diff, out);
    const ProgramRun median = MedianRun(runs);
    const qint64 peak = std::max_element(runs.begin(), runs.end(), [](const ProgramRun& a, const ProgramRun& b) {
                            return a.PeakBytes < b.PeakBytes;
                        })->PeakBytes;
    const QStringList report = ReadText(QString::fromStdString(out)).split(u'\n', Qt::SkipEmptyParts);
    std::printf("uvotool diff: exit %d, %lld lines; %s\n", median.ExitCode, qlonglong(report.size()),
                report.isEmpty() ? "" : qPrintable(report.back()));
    std::printf("  seeded: %d accounts added, %d removed, %d changed\n", pair.Added, pair.Removed, pair.Changed);
    std::printf("  time %.0f ms (cpu %.0f ms, of it system %.0f ms), target <= %.0f ms: %s\n", median.WallMs,
                median.CpuMs, median.SystemMs, TimeTargetMs, Verdict(median.WallMs <= TimeTargetMs));
    const double ratio = double(peak) / double(bytes);
    std::printf("  peak memory %.1f MB = %.2f x both files, target <= %.1f x: %s\n", MB(peak), ratio,
                PeakFileRatioTarget, Verdict(ratio <= PeakFileRatioTarget));
    PrintInProcess(format, pair);
}

int Usage()
{
    std::fprintf(stderr, "usage: diff_bench [--format PATH] [--seed N] [--keep DIR] [ACCOUNTS]\n");
    return 2;
}

bool TakeValue(QStringList& args, const QString& name, QString& value)
{
    const qsizetype at = args.indexOf(name);
    if (at < 0 || at + 1 >= args.size())
        return false;
    value = args.at(at + 1);
    args.remove(at, 2);
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    options.FormatPath = FormatFile::TakePathOption(args);
    bool ok = true;
    if (QString seed; TakeValue(args, QStringLiteral("--seed"), seed))
        options.Seed = seed.toUInt(&ok);
    TakeValue(args, QStringLiteral("--keep"), options.KeepDir);
    if (args.size() > 1)
        return false;
    if (!args.isEmpty())
        options.Accounts = args.front().toInt(&ok);
    return ok && options.Accounts > 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options))
        return Usage();
    TFormat format;
    if (!FormatFile::LoadOrTell(options.FormatPath, format, "diff_bench"))
        return 1;
    QTemporaryDir temporary;
    const QString folder = options.KeepDir.isEmpty() ? temporary.path() : QDir(options.KeepDir).absolutePath();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "diff_bench: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    std::printf("diff_bench: build %s, %d accounts, seed %u, files in %s; times are the median of %d runs, "
                "memory the most of them; MB = 10^6 bytes\n",
                UVO_BENCH_BUILD_TYPE, options.Accounts, options.Seed, qPrintable(folder), Runs);
    try {
        RunBench(format, options, folder);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "diff_bench: %s\n", error.what());
        return 1;
    }
    QFile::remove(folder + QStringLiteral("/out.txt"));
    return 0;
}
