// uvotool's command line: help, and the answers to calls it cannot run.

#include "UvoToolFixture.h"

#include <gtest/gtest.h>

TEST(CommandLine, HelpNamesEveryCommand)
{
    for (const QStringList& call : {QStringList{"--help"}, QStringList{"-h"}, QStringList{"help"}}) {
        const TToolRun run = RunTool(call);
        EXPECT_EQ(run.ExitCode, 0);
        EXPECT_TRUE(run.Out.startsWith("Usage: uvotool [options] COMMAND [ARGUMENTS...]\n")) << run.Out.toStdString();
        for (const char* command : {"  check FILE...", "  totals FILE [-o OUT]", "  sort FILE [-o OUT]"})
            EXPECT_TRUE(run.Out.contains(command)) << command;
        EXPECT_EQ(run.Err, QString());
    }
    EXPECT_EQ(RunTool({"--version"}).Out, "uvotool 1.0\n");
}

TEST(CommandLine, EachCommandHasItsOwnHelp)
{
    const QList<std::pair<QString, QString>> usages = {
        {"check", "Usage: uvotool check [options] FILE...\n"},
        {"totals", "Usage: uvotool totals [options] FILE\n"},
        {"sort", "Usage: uvotool sort [options] FILE\n"},
    };
    for (const auto& [command, usage] : usages) {
        const TToolRun run = RunTool({command, "--help"});
        EXPECT_EQ(run.ExitCode, 0);
        EXPECT_TRUE(run.Out.startsWith(usage)) << run.Out.toStdString();
        EXPECT_TRUE(run.Out.contains("Exit status:"));
        EXPECT_EQ(RunTool({"help", command}).Out, run.Out);
    }
    EXPECT_TRUE(RunTool({"check", "--help"}).Out.contains("--format <text|json>"));
    EXPECT_TRUE(RunTool({"sort", "--help"}).Out.contains("-o, --output <OUT>"));
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
        {{"check", "--quiet", "a.uvo"}, "uvotool check: Unknown option 'quiet'.\nTry 'uvotool check --help'.\n"},
        {{"totals"}, "uvotool totals: no file given.\nTry 'uvotool totals --help'.\n"},
        {{"sort", "a.uvo", "b.uvo"}, "uvotool sort: one file at a time.\nTry 'uvotool sort --help'.\n"},
        {{"sort", "a.uvo", "-o"}, "uvotool sort: Missing value after '-o'.\nTry 'uvotool sort --help'.\n"},
    };
    for (const auto& [call, message] : calls) {
        const TToolRun run = RunTool(call);
        EXPECT_EQ(run.ExitCode, 2) << call.join(' ').toStdString();
        EXPECT_EQ(run.Err, message);
        EXPECT_EQ(run.Out, QString());
    }
}
