// gui_bench [ACCOUNTS ...] [--shot DIR]
//
// Prints how long the main window takes to show a data file: ShowContent with
// "<Все записи>" and with one account chosen, and opening the file into a
// shown window until it is painted (read, view rebuilt, every widget drawn);
// then the problems list: the whole check of the file, the list filled and
// shown, a jump from the list to a finding of another account, painted, and
// the list's update after an edit of one record.
// then how long the find bar takes to search all records shown in vain, and
// how long deleting a record, undoing and redoing it take; and how long setting
// one field in 100,000 records (a value replaced in many records at once) and
// undoing that take, each until the window is painted; last, how much of the
// open time reading the file alone takes.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise. With
// --shot it also saves a picture of each painted window into DIR.

#include "ContentCheck.h"
#include "FormatFile.h"
#include "SettingsFile.h"
#include "Stopwatch.h"
#include "TContent.h"
#include "TFileCommands.h"
#include "TFindBar.h"
#include "TFormat.h"
#include "TMainForm.h"
#include "TProblemCommands.h"
#include "TProblemsDock.h"
#include "TUvoDocument.h"
#include "TPrompts.h"
#include "TRecordGrid.h"
#include "UvoFile.h"
#include "UvoGenerator.h"

#include <QApplication>
#include <QDir>
#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QComboBox>
#include <QPixmap>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <functional>
#include <limits>
#include <stdexcept>
#include <memory>
#include <vector>

namespace {

constexpr int Runs = 5;  // every time is the median of this many runs
constexpr double ShowContentTargetMs = 240;
constexpr double OpenTargetMs = 1200;
constexpr double SwitchTargetMs = 40;
// The targets of the problems list, the find bar and undo hold for files of
// up to this many accounts; larger files print their figures unjudged.
constexpr int ListTargetAccounts = 10000;
constexpr double CheckTargetMs = 150;
constexpr double ListTargetMs = 300;
constexpr double JumpTargetMs = 100;
constexpr double FindTargetMs = 300;
constexpr double UndoDeleteTargetMs = 200;
constexpr int ReplacedRecords = 100000;
constexpr double ReplaceTargetMs = 1000;

// Answers the deletion question with Yes; nothing else asks here.
class TYesPrompts : public TPrompts {
public:
    TAnswer Question(const QString&, const QString&, TQuestionButtons) override { return TAnswer::Yes; }
    void Error(const QString&) override {}
    void AppError(const QString&) override {}
    void Info(const QString&, const QString&) override {}
    void Warning(const QString&, const QString&) override {}
    QString OpenFileName(const QString&) override { return {}; }
    QString SaveFileName(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> InputBox(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<TLogin> LoginBox(const QString&, const QString&) override { return {}; }
    int ExecDialog(QDialog&) override { return 0; }
};

struct Options {
    std::vector<int> Accounts;
    QString ShotFolder;
};

bool ParseOptions(const QStringList& args, Options& options)
{
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--shot") && i + 1 < args.size()) {
            options.ShotFolder = args[++i];
            continue;
        }
        bool ok = false;
        const int accounts = args[i].toInt(&ok);
        if (!ok || accounts <= 0)
            return false;
        options.Accounts.push_back(accounts);
    }
    if (options.Accounts.empty())
        options.Accounts = {1000, 10000, 50000};
    return true;
}

// "ok" or "SLOW" against a target, blank where the target does not apply.
const char* Mark(double ms, double target, bool applies = true)
{
    return !applies ? "" : ms <= target ? "ok" : "SLOW";
}

// The median wall-clock milliseconds of several runs of work, each after an
// untimed prepare.
template <typename Prepare, typename Work>
double MedianMs(int runs, Prepare prepare, Work work)
{
    return MedianOf(runs, prepare, work).WallMs;
}

QString WriteFile(const QString& folder, int accounts)
{
    TFormat format;
    if (const QString error = FormatFile::Load(FormatFile::DefaultPath(), format); !error.isEmpty())
        throw std::runtime_error(error.toStdString());
    TContent content(format);
    GeneratorOptions options;
    options.Accounts = accounts;
    UvoGenerator(format, options).Generate(content);
    const QString path = QDir(folder).filePath(QStringLiteral("bench_%1.uvo").arg(accounts));
    UvoFile::Write(path, content);
    return path;
}

std::unique_ptr<TMainForm> ShownWindow()
{
    auto form = std::make_unique<TMainForm>();
    form->show();
    QCoreApplication::processEvents();
    return form;
}

// Lets the window settle its layout and draws all of it, as the screen would.
QPixmap Paint(TMainForm& form)
{
    QCoreApplication::processEvents();
    return form.grab();
}

struct SizeFigures {
    int Records = 0;
    double ShowAllMs = 0;
    double ShowAccountMs = 0;
    double SwitchAccountMs = 0;  // the filter switched to one account by the user: no rebuild of the list
    double OpenMs = 0;
    size_t Findings = 0;
    double CheckMs = 0;
    double ListMs = 0;
    double JumpMs = 0;
    double UpdateMs = 0;
};

// The whole check, the list filled from it and shown, and a jump from the list
// to a finding in the middle of the file while another account is shown.
void MeasureProblems(TMainForm& form, SizeFigures& figures)
{
    const TContentCheck check(form.Format());
    figures.CheckMs = MedianMs(Runs, [] {}, [&] {
        figures.Findings = 0;
        check.Check(form.Content(), {}, true, [&](TFinding&&) { ++figures.Findings; });
    });
    TProblemsDock& dock = form.ProblemCommands().Dock();
    figures.ListMs = MedianMs(
        Runs, [&] { dock.hide(); },
        [&] {
            dock.ContentReplaced(true);
            dock.show();
            Paint(form);
        });
    TContentRec* edited = form.Content()[form.Content().Count() / 3];
    figures.UpdateMs = MedianMs(Runs, [] {}, [&] { dock.RecordsChanged({{edited}, {}}); });
    const std::vector<TFinding>& findings = dock.Problems().Findings();
    const auto middle = findings.begin() + std::ptrdiff_t(findings.size() / 2);
    const auto target = std::find_if(middle, findings.end(), [](const TFinding& f) { return f.FieldIndex >= 0; });
    TContentRec* first = form.Content()[1];
    if (target == findings.end() || target->Account == first->Account)
        return;
    figures.JumpMs = MedianMs(
        Runs, [&] { form.ShowContent(first); },
        [&] {
            form.ShowRecordField(target->Record, target->FieldIndex);
            Paint(form);
        });
}

// Reading the file alone, into a list of its own, as opening it reads it.
double ReadMs(const QString& path)
{
    const std::unique_ptr<TMainForm> form = ShownWindow();  // for its format description
    std::unique_ptr<TContent> read;
    return MedianMs(
        Runs, [&] { read = std::make_unique<TContent>(form->Format()); },  // the list read before goes untimed
        [&] { UvoFile::Read(path, *read); });
}

SizeFigures Measure(const QString& path, const QString& shotFolder)
{
    SizeFigures figures;
    std::unique_ptr<TMainForm> form;
    figures.OpenMs = MedianMs(
        Runs, [&] { form = ShownWindow(); },
        [&] {
            form->FileCommands().LoadUVO(path);
            Paint(*form);
        });
    if (!shotFolder.isEmpty())
        Paint(*form).save(QDir(shotFolder).filePath(QFileInfo(path).completeBaseName() + QStringLiteral(".png")));
    figures.Records = form->Content().Count();
    figures.ShowAllMs = MedianMs(Runs, [] {}, [&] { form->ShowContent(nullptr); });
    TContentRec* middle = form->Content()[form->Content().Count() / 2];
    figures.ShowAccountMs = MedianMs(Runs, [] {}, [&] { form->ShowContent(middle); });
    const int accountItem = form->cbFilter->currentIndex();
    figures.SwitchAccountMs = MedianMs(
        Runs, [&] { form->cbFilter->setCurrentIndex(0); form->cbFilterSelect(); },
        [&] {
            form->cbFilter->setCurrentIndex(accountItem);
            form->cbFilterSelect();
        });
    MeasureProblems(*form, figures);
    if (!shotFolder.isEmpty())
        Paint(*form).save(QDir(shotFolder).filePath(QFileInfo(path).completeBaseName() + QStringLiteral("-problems.png")));
    return figures;
}

struct EditFigures {
    double FindMs = 0;        // a text found nowhere: every value of every record shown
    double FindWholeMs = 0;   // the same with case and whole values
    double DeleteMs = 0;
    double UndoMs = 0;
    double RedoMs = 0;
};

Timing TimeOf(const std::function<void()>& work) { return MedianOf(1, [] {}, work); }

EditFigures MeasureEditing(const QString& path)
{
    EditFigures figures;
    std::unique_ptr<TMainForm> form = ShownWindow();
    form->FileCommands().LoadUVO(path);
    Paint(*form);
    TFindBar& bar = *form->FindBar;
    bar.Open();
    bar.edFindText->setText(QStringLiteral("Нигде не встречается"));
    figures.FindMs = MedianMs(Runs, [] {}, [&] { bar.FindNext(); });
    bar.chkMatchCase->setChecked(true);
    bar.chkWholeValue->setChecked(true);
    figures.FindWholeMs = MedianMs(Runs, [] {}, [&] { bar.FindNext(); });

    TYesPrompts yes;
    SetPrompts(&yes);
    std::vector<Timing> deletes, undos, redos;
    for (int run = 0; run < Runs; ++run) {
        form->ShowContent(nullptr);
        TRecordGrid* grid = form->VTList()[form->VTList().size() / 2];
        deletes.push_back(TimeOf([&] { form->DeleteRec(grid, grid->RowCount() / 2); }));
        undos.push_back(TimeOf([&] { form->actUndo->trigger(); }));
        redos.push_back(TimeOf([&] { form->actRedo->trigger(); }));
        form->actUndo->trigger();
    }
    figures.DeleteMs = Median(std::move(deletes)).WallMs;
    figures.UndoMs = Median(std::move(undos)).WallMs;
    figures.RedoMs = Median(std::move(redos)).WallMs;
    SetPrompts(nullptr);
    return figures;
}

struct ReplaceFigures {
    int Records = 0;  // the records whose field was set
    double SetMs = 0;
    double UndoMs = 0;
};

// The finance type, a field of every record type and no part of a sort key,
// set to another code in the first 100,000 records while all records are
// shown, and undone.
ReplaceFigures MeasureReplace(const QString& path)
{
    ReplaceFigures figures;
    std::unique_ptr<TMainForm> form = ShownWindow();
    form->FileCommands().LoadUVO(path);
    Paint(*form);
    TUvoDocument& document = form->Document();
    const std::vector<TContentRec*>& all = document.Content().Records();
    const std::vector<TContentRec*> recs(all.begin(), all.begin() + std::min<std::ptrdiff_t>(ReplacedRecords, all.size()));
    figures.Records = int(recs.size());
    const QString financeType = UvoIds::FinanceTypeFld;
    const QString value = recs.front()->GetVal(financeType) == u"01" ? QStringLiteral("02") : QStringLiteral("01");
    std::vector<Timing> sets, undos;
    for (int run = 0; run < Runs; ++run) {
        sets.push_back(TimeOf([&] {
            document.SetField(QStringLiteral("замена значения"), recs, financeType, value);
            Paint(*form);
        }));
        undos.push_back(TimeOf([&] {
            form->actUndo->trigger();
            Paint(*form);
        }));
    }
    figures.SetMs = Median(std::move(sets)).WallMs;
    figures.UndoMs = Median(std::move(undos)).WallMs;
    return figures;
}

void PrintReplaceFigures(int accounts, const ReplaceFigures& figures)
{
    const bool judged = accounts <= ListTargetAccounts;
    std::printf("%8d %9d %10.1f %4s %10.1f %4s\n", accounts, figures.Records, figures.SetMs,
                Mark(figures.SetMs, ReplaceTargetMs, judged), figures.UndoMs, Mark(figures.UndoMs, ReplaceTargetMs, judged));
    std::fflush(stdout);
}

void PrintEditFigures(int accounts, int records, const EditFigures& figures)
{
    const bool judged = accounts <= ListTargetAccounts;
    std::printf("%8d %9d %10.1f %4s %12.1f %10.1f %10.1f %4s %10.1f\n", accounts, records, figures.FindMs,
                Mark(figures.FindMs, FindTargetMs, judged), figures.FindWholeMs, figures.DeleteMs, figures.UndoMs,
                Mark(figures.UndoMs, UndoDeleteTargetMs, judged), figures.RedoMs);
    std::fflush(stdout);
}

void PrintFigures(int accounts, const SizeFigures& figures)
{
    std::printf("%8d %9d %12.1f %4s %12.1f %14.1f %4s %9.1f %4s\n", accounts, figures.Records, figures.ShowAllMs,
                Mark(figures.ShowAllMs, ShowContentTargetMs), figures.ShowAccountMs, figures.OpenMs,
                Mark(figures.OpenMs, OpenTargetMs), figures.SwitchAccountMs, Mark(figures.SwitchAccountMs, SwitchTargetMs));
    std::fflush(stdout);
}

void PrintProblemFigures(int accounts, const SizeFigures& figures)
{
    const bool judged = accounts <= ListTargetAccounts;
    std::printf("%8d %9zu %12.1f %4s %12.1f %4s %12.1f %4s %17.1f\n", accounts, figures.Findings, figures.CheckMs,
                Mark(figures.CheckMs, CheckTargetMs, judged), figures.ListMs, Mark(figures.ListMs, ListTargetMs, judged),
                figures.JumpMs, Mark(figures.JumpMs, JumpTargetMs, judged), figures.UpdateMs);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Options options;
    if (!ParseOptions(app.arguments().mid(1), options)) {
        std::fprintf(stderr, "usage: gui_bench [ACCOUNTS ...] [--shot DIR]\n");
        return 2;
    }
    const QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "gui_bench: cannot create a temporary folder\n");
        return 1;
    }
    // The window reads and writes its settings file in the current folder.
    QDir::setCurrent(folder.path());
    SettingsFile::Save(SettingsFile::DefaultFileName, UvoGenerator::Submitter());

    std::printf("Median of %d runs, milliseconds; targets: ShowContent (all records) <= %.0f, open <= %.0f, "
                "filter switch <= %.0f\n",
                Runs, ShowContentTargetMs, OpenTargetMs, SwitchTargetMs);
    std::printf("%8s %9s %17s %12s %19s %14s\n", "accounts", "records", "ShowContent all", "one account",
                "open to painted", "filter switch");
    try {
        std::vector<SizeFigures> all;
        std::vector<QString> files;
        for (const int accounts : options.Accounts) {
            files.push_back(WriteFile(folder.path(), accounts));
            all.push_back(Measure(files.back(), options.ShotFolder));
            PrintFigures(accounts, all.back());
        }
        std::printf("\nProblems; targets up to %d accounts: whole check <= %.0f, list filled and shown <= %.0f, "
                    "jump <= %.0f\n",
                    ListTargetAccounts, CheckTargetMs, ListTargetMs, JumpTargetMs);
        std::printf("%8s %9s %17s %17s %17s %17s\n", "accounts", "findings", "whole check", "list shown", "jump",
                    "after an edit");
        for (size_t i = 0; i < all.size(); ++i)
            PrintProblemFigures(options.Accounts[i], all[i]);
        std::printf("\nMedian of %d runs, milliseconds; targets up to %d accounts: find in all records <= %.0f, "
                    "undo of a delete <= %.0f\n",
                    Runs, ListTargetAccounts, FindTargetMs, UndoDeleteTargetMs);
        std::printf("%8s %9s %15s %12s %10s %15s %10s\n", "accounts", "records", "find (no case)", "case, whole",
                    "delete", "undo delete", "redo");
        for (size_t i = 0; i < files.size(); ++i)
            PrintEditFigures(options.Accounts[i], all[i].Records, MeasureEditing(files[i]));
        std::printf("\nMedian of %d runs, milliseconds, until painted; targets up to %d accounts: one field set "
                    "in up to %d records <= %.0f, its undo <= %.0f\n",
                    Runs, ListTargetAccounts, ReplacedRecords, ReplaceTargetMs, ReplaceTargetMs);
        std::printf("%8s %9s %15s %15s\n", "accounts", "set in", "set field", "undo");
        for (size_t i = 0; i < files.size(); ++i)
            PrintReplaceFigures(options.Accounts[i], MeasureReplace(files[i]));
        // Last, so that the records read and freed here leave the window's figures as they were.
        std::printf("\nMedian of %d runs, milliseconds: of the open time, reading the file alone (the rest is the "
                    "window's)\n",
                    Runs);
        std::printf("%8s %9s %15s\n", "accounts", "records", "read");
        for (size_t i = 0; i < files.size(); ++i)
            std::printf("%8d %9d %15.1f\n", options.Accounts[i], all[i].Records, ReadMs(files[i]));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "gui_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
