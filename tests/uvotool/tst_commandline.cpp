// uvotool's command line: help, and the answers to calls it cannot run.

#include "UvoToolFixture.h"

#include <gtest/gtest.h>

TEST(CommandLine, HelpForTheToolAndEachCommand)
{
    for (const QString call : {"--help", "-h", "help"}) {
        const TToolRun run = RunTool({call});
        EXPECT_EQ(run.ExitCode, 0);
        EXPECT_TRUE(run.Out.startsWith("Usage: uvotool [options] COMMAND [ARGUMENTS...]\n"));
        EXPECT_TRUE(run.Out.contains("  check FILE...") && run.Out.contains("  totals FILE [-o OUT]") &&
                    run.Out.contains("  sort FILE [-o OUT]"));
    }
    EXPECT_EQ(RunTool({"--version"}).Out, "uvotool " UVO_VERSION "\n");

    for (const QString usage : {"check [options] FILE...", "totals [options] FILE", "sort [options] FILE"}) {
        const QString command = usage.section(' ', 0, 0);
        const TToolRun run = RunTool({command, "--help"});
        EXPECT_EQ(run.ExitCode, 0);
        EXPECT_TRUE(run.Out.startsWith("Usage: uvotool " + usage + "\n")) << run.Out.toStdString();
        EXPECT_TRUE(run.Out.contains("Exit status:"));
        EXPECT_EQ(RunTool({"help", command}).Out, run.Out);
    }
}

TEST(CommandLine, CallsThatCannotRunAreUsageErrors)
{
    const QList<std::pair<QStringList, QString>> calls = {
        {{}, "uvotool: no command given.\nTry 'uvotool --help'.\n"},
        {{"verify", "a.uvo"}, "uvotool: unknown command 'verify'.\nTry 'uvotool --help'.\n"},
        {{"--frobnicate"}, "uvotool: Unknown option 'frobnicate'.\nTry 'uvotool --help'.\n"},
        {{"check"}, "uvotool check: no file to check.\nTry 'uvotool check --help'.\n"},
        {{"check", "--format", "xml", "a.uvo"},
         "uvotool check: unknown report format 'xml'; use text or json.\nTry 'uvotool check --help'.\n"},
        {{"totals"}, "uvotool totals: no file given.\nTry 'uvotool totals --help'.\n"},
        {{"sort", "a.uvo", "b.uvo"}, "uvotool sort: one file at a time.\nTry 'uvotool sort --help'.\n"},
        {{"sort", "a.uvo", "-o"}, "uvotool sort: Missing value after '-o'.\nTry 'uvotool sort --help'.\n"},
    };
    for (const auto& [call, message] : calls) {
        const TToolRun run = RunTool(call);
        EXPECT_EQ(run.ExitCode, 2) << call.join(' ').toStdString();
        EXPECT_EQ(run.Err, message);
        EXPECT_EQ(run.Out, "");
    }
}
