// uvogen ACCOUNTS OUT.uvo [SEED] [--format PATH]
//
// Writes a synthetic submission of ACCOUNTS accounts for manual testing and
// benchmarks. The same seed always gives the same file.

#include "FormatFile.h"
#include "TContent.h"
#include "TFormat.h"
#include "TUvoError.h"
#include "UvoFile.h"
#include "UvoGenerator.h"

#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <exception>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: uvogen ACCOUNTS OUT.uvo [SEED] [--format PATH]\n");
    return 2;
}

QStringList Arguments(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

}  // namespace

int main(int argc, char** argv)
{
    QStringList args = Arguments(argc, argv);
    const QString formatPath = FormatFile::TakePathOption(args);
    GeneratorOptions options;
    bool accountsOk = false, seedOk = true;
    if (args.size() < 2 || args.size() > 3)
        return Usage();
    options.Accounts = args[0].toInt(&accountsOk);
    if (args.size() == 3)
        options.Seed = args[2].toUInt(&seedOk);
    if (!accountsOk || options.Accounts < 0 || !seedOk)
        return Usage();

    TFormat format;
    if (!FormatFile::LoadOrTell(formatPath, format, "uvogen"))
        return 1;
    try {
        TContent content(format);
        UvoGenerator generator(format, options);
        generator.Generate(content);
        UvoFile::Write(args[1], content);
        std::printf("%s: %d accounts, %d records (%d with an invalid value), %lld bytes, seed %u\n",
                    qPrintable(args[1]), options.Accounts, content.Count(), generator.InvalidRecords(),
                    QFileInfo(args[1]).size(), options.Seed);
    } catch (const TUvoError& error) {
        std::fprintf(stderr, "uvogen: %s\n", qPrintable(error.Message()));
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "uvogen: %s\n", error.what());
        return 1;
    }
    return 0;
}
