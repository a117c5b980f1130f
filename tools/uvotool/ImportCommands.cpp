#include "ImportCommands.h"

#include "CommandLine.h"
#include "FaCommands.h"
#include "FindingWriters.h"
#include "Findings.h"
#include "SettingsFile.h"
#include "TConnectionString.h"
#include "TContent.h"
#include "TFaImport.h"
#include "TFormat.h"
#include "TOdbcDatabase.h"
#include "TSettings.h"
#include "UvoFile.h"

#include <QDate>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace UvoTool {
namespace {

const char* const PasswordVariable = "UVO_DB_PASSWORD";

const char* const ConnectionHelp =
    "\n"
    "The connection string comes from --connection or from the settings file\n"
    "(default uvoedit.ini in the current folder), in the form the editor keeps:\n"
    "a Windows (OLE DB) string or an ODBC string for the FreeTDS driver. With\n"
    "--user the password is read from the environment variable UVO_DB_PASSWORD\n"
    "or, with --password-stdin, from the first line of standard input; it is never\n"
    "given on the command line. Dates are yyyy-mm-dd or dd.mm.yyyy; the period\n"
    "is the last seven days unless given.\n";

const char* const ContractsDescription =
    "Prints the credit contracts of a period from the core banking database, as\n"
    "the editor's import dialog lists them: one line per contract with its DealID,\n"
    "date, number, financial operation, amount, currency, finance type and client.\n";

const char* const ImportDescription =
    "Generates the records of credit contracts from the core banking database, as\n"
    "the editor's import does: for every contract of the period's list (or the\n"
    "contracts given with --deals) in Update or Take-On mode, into a new file with\n"
    "its own Header and Trailer (-o) or appended to an existing file (--append),\n"
    "with recomputed totals and in the account hierarchy's order. Nothing is\n"
    "written unless every contract was read.\n";

const char* const ValuesHelp =
    "\n"
    "Control characters in a delivered value (line ends, byte 26, ...) become\n"
    "spaces. A value longer than its field, or with characters that Windows-1251\n"
    "lacks, is listed by record and field, and nothing is written unless --force\n"
    "is given (the file then holds it cut to the field, with '?' for such\n"
    "characters).\n";

const char* const ExitHelp =
    "\n"
    "Exit status: 0 when done, 2 when the database or a file failed (the driver's\n"
    "message is printed) or the call was wrong.";

const char* const ImportExitHelp =
    "\n"
    "Exit status: 0 when done, 1 when values do not fit the file or the file to\n"
    "append to lost data on reading (nothing written), 2 when the database or a\n"
    "file failed (the driver's message is printed) or the call was wrong.";

// The options both commands take to reach the database and choose contracts.
class TImportOptions {
public:
    explicit TImportOptions(QCommandLineParser& parser) : FParser(parser)
    {
        parser.addOptions({FConnection, FSettings, FUser, FPasswordStdin, FFrom, FTo, FFo, FFinanceType});
    }

    // Reads and checks the options; a usage error when they do not fit.
    std::optional<QString> Read(const TFormat& format)
    {
        if (!ReadSettings())
            return FError;
        FConnectionString = FParser.isSet(FConnection) ? FParser.value(FConnection) : Settings.ConnectionString;
        if (FConnectionString.trimmed().isEmpty())
            return QStringLiteral("no connection string: give --connection or a settings file that holds one.");
        const QDate today = QDate::currentDate();
        Period.To = FParser.isSet(FTo) ? ParseDate(FParser.value(FTo)) : today;
        Period.From = FParser.isSet(FFrom) ? ParseDate(FParser.value(FFrom)) : Period.To.addDays(-7);
        if (!Period.From.isValid() || !Period.To.isValid())
            return QStringLiteral("a date is not a date; use yyyy-mm-dd or dd.mm.yyyy.");
        bool ok = true;
        FOID = FParser.isSet(FFo) ? FParser.value(FFo).toLongLong(&ok) : 0;
        if (!ok || FOID < 0)
            return QStringLiteral("--fo takes the number of a financial operation.");
        FinanceType = FParser.value(FFinanceType);
        if (!FinanceType.isEmpty() && !FaCommands::IsFinanceTypeCode(format, FinanceType))
            return QStringLiteral("'%1' is not a finance type code.").arg(FinanceType);
        if (FParser.isSet(FPasswordStdin) && !FParser.isSet(FUser))
            return QStringLiteral("--password-stdin needs --user.");
        if (FParser.isSet(FUser) && !FParser.isSet(FPasswordStdin) && !qEnvironmentVariableIsSet(PasswordVariable))
            return QStringLiteral("no password: set %1 or give --password-stdin.").arg(QLatin1String(PasswordVariable));
        if (FParser.isSet(FConnection) && TConnectionString(FConnectionString).Contains(TConnectionString::Password))
            return QStringLiteral("a password does not belong on the command line: give --user and set %1 or "
                                  "give --password-stdin.")
                .arg(QLatin1String(PasswordVariable));
        return std::nullopt;
    }

    // Opens the connection; throws TDbError.
    void Open(TDatabase& database) const
    {
        if (!FParser.isSet(FUser)) {
            database.Open(FConnectionString);
            return;
        }
        database.Open(FConnectionString, TDbCredentials{FParser.value(FUser), Password()});
    }

    TSettings Settings;
    TPeriod Period;
    qint64 FOID = 0;
    QString FinanceType;  // empty: any

private:
    bool ReadSettings()
    {
        const bool given = FParser.isSet(FSettings);
        const QString file = given ? FParser.value(FSettings) : SettingsFile::DefaultFileName;
        if (SettingsFile::Load(file, Settings) || (!given && !QFileInfo::exists(file)))
            return true;
        FError = QStringLiteral("cannot read the settings file %1.").arg(file);
        return false;
    }

    QString Password() const
    {
        if (!FParser.isSet(FPasswordStdin))
            return qEnvironmentVariable(PasswordVariable);
        QTextStream in(stdin);
        return in.readLine();
    }

    static QDate ParseDate(const QString& text)
    {
        for (const QString format : {"yyyy-MM-dd", "dd.MM.yyyy", "yyyyMMdd"})
            if (const QDate date = QDate::fromString(text, format); date.isValid())
                return date;
        return {};
    }

    QCommandLineParser& FParser;
    QCommandLineOption FConnection{QStringLiteral("connection"),
                                   QStringLiteral("The connection string (instead of the settings file's)."),
                                   QStringLiteral("STRING")};
    QCommandLineOption FSettings{QStringLiteral("settings"),
                                 QStringLiteral("The settings file (default uvoedit.ini in the current folder)."),
                                 QStringLiteral("FILE")};
    QCommandLineOption FUser{QStringLiteral("user"), QStringLiteral("Log in as USER."), QStringLiteral("USER")};
    QCommandLineOption FPasswordStdin{QStringLiteral("password-stdin"),
                                      QStringLiteral("Read the password from standard input.")};
    QCommandLineOption FFrom{QStringLiteral("from"), QStringLiteral("The first day of the period."),
                             QStringLiteral("DATE")};
    QCommandLineOption FTo{QStringLiteral("to"), QStringLiteral("The last day of the period (default today)."),
                           QStringLiteral("DATE")};
    QCommandLineOption FFo{QStringLiteral("fo"),
                           QStringLiteral("Only contracts of this financial operation (default 0: all)."),
                           QStringLiteral("ID")};
    QCommandLineOption FFinanceType{
        QStringLiteral("finance-type"),
        QStringLiteral("Only contracts of this finance type code; for import also the records' finance type "
                       "(default: any, and the settings' finance type)."),
        QStringLiteral("CODE")};
    QString FConnectionString;
    QString FError;
};

// Two decimals, rounded half away from zero, exact for any amount.
QString Amount(qint64 tenThousandths)
{
    const qint64 cents = (tenThousandths < 0 ? tenThousandths - 50 : tenThousandths + 50) / 100;
    const qint64 magnitude = cents < 0 ? -cents : cents;
    return QStringLiteral("%1%2.%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

// One line of the text list: the fields separated by tabs.
QString ContractLine(const TLoan& loan)
{
    const QStringList fields = {QString::number(loan.DealID), loan.DealDate.toString(QStringLiteral("dd.MM.yyyy")),
                                Escaped(loan.DealNumber),     Escaped(loan.FOBrief),
                                Amount(loan.DealQty),         Escaped(loan.Fund),
                                Escaped(loan.FT),             Escaped(loan.ClName)};
    return fields.join(u'\t') + u'\n';
}

void PrintContracts(const std::vector<TLoan>& loans, bool json)
{
    if (!json) {
        for (const TLoan& loan : loans)
            Print(stdout, ContractLine(loan));
        return;
    }
    QJsonArray list;
    for (const TLoan& loan : loans)
        list.append(QJsonObject{{"DealID", QString::number(loan.DealID)},
                                {"DealDate", loan.DealDate.toString(Qt::ISODate)},
                                {"DealNumber", loan.DealNumber},
                                {"FOBrief", loan.FOBrief},
                                {"DealQty", Amount(loan.DealQty)},
                                {"Fund", loan.Fund},
                                {"ClName", loan.ClName},
                                {"FT", loan.FT}});
    Print(stdout, QString::fromUtf8(QJsonDocument(list).toJson()));
}

// The contracts of the list, in the dialog's order: by client name.
std::vector<qint64> ListedDeals(std::vector<TLoan> loans)
{
    std::stable_sort(loans.begin(), loans.end(),
                     [](const TLoan& a, const TLoan& b) { return a.ClName.compare(b.ClName) < 0; });
    std::vector<qint64> deals;
    for (const TLoan& loan : loans)
        deals.push_back(loan.DealID);
    return deals;
}

std::optional<std::vector<qint64>> ParseDeals(const QString& text)
{
    std::vector<qint64> deals;
    for (const QString& item : text.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const qint64 deal = item.trimmed().toLongLong(&ok);
        if (!ok || deal < 0)
            return std::nullopt;
        deals.push_back(deal);
    }
    if (deals.empty())
        return std::nullopt;
    return deals;
}

// The one place where the command writes a data file: through the editor's
// safe save, so that a failure leaves the previous file as it was.
bool SaveDataFile(const QString& fileName, const TContent& content)
{
    try {
        UvoFile::Write(fileName, content);
        return true;
    } catch (const TUvoError& error) {
        PrintError(fileName + QLatin1String(": ") + Escaped(error.Message()));
        return false;
    }
}

// Loads the format description and reads the options; the exit status when
// the command cannot go on.
std::optional<int> Prepare(const TCommandLine& command, TImportOptions& options, TFormat& format)
{
    if (!LoadFormat(format))
        return ExitFailure;
    if (const auto wrong = options.Read(format))
        return UsageError(command.Invocation, *wrong);
    return std::nullopt;
}

// The server's text is escaped like any value from outside, so that it can
// neither forge a line of the output nor send the terminal commands (the
// driver's messages stay on one line, separated by "\n").
int DatabaseFailure(const QString& invocation, const TUvoError& error)
{
    Print(stderr, invocation + QLatin1String(": ") + Escaped(error.Message()) + u'\n');
    return ExitFailure;
}

QString ProblemText(const TValueProblem& problem)
{
    switch (problem.Kind) {
    case TValueProblem::TKind::ControlReplaced: return QStringLiteral("control characters replaced by spaces");
    case TValueProblem::TKind::TooLong:
        return QStringLiteral("%1 characters, longer than its width %2").arg(problem.Value.size()).arg(problem.Width);
    case TValueProblem::TKind::NotInCodePage: return QStringLiteral("characters that Windows-1251 lacks");
    }
    return {};
}

// Lists what the delivered values lose on their way into the file; false
// when that stops the write.
bool ReportValueProblems(const QString& target, const TFaImport& import, bool force)
{
    for (const TValueProblem& problem : import.ValueProblems())
        PrintError(QStringLiteral("%1: record %2 (%3, DealID %4), field %5 (%6): %7: %8")
                       .arg(Escaped(target))
                       .arg(problem.Record)
                       .arg(problem.RecID)
                       .arg(problem.DealID)
                       .arg(problem.FldID, Escaped(problem.FldName), ProblemText(problem), Quoted(problem.Value)));
    if (!import.ValuesAltered() || force)
        return true;
    PrintFileError(target, QStringLiteral("values do not fit the file as delivered; nothing written (--force "
                                          "writes them cut to their fields, with '?' for characters "
                                          "Windows-1251 lacks)."));
    return false;
}

}  // namespace

int RunContracts(const QStringList& arguments)
{
    const QByteArray description = QByteArray(ContractsDescription) + ConnectionHelp + ExitHelp;
    TCommandLine command(QStringLiteral("contracts"), description.constData(), nullptr, nullptr);
    TImportOptions options(command.Parser);
    command.AddFormatOption(QStringLiteral("The form of the list: text (the default) or json, one JSON array "
                                           "with an object per contract."));
    if (const auto done = command.Parse(arguments))
        return *done;
    if (!command.Parser.positionalArguments().isEmpty())
        return UsageError(command.Invocation, QStringLiteral("no files are taken."));
    TFormat format;
    if (const auto done = Prepare(command, options, format))
        return *done;
    try {
        TOdbcDatabase database;
        options.Open(database);
        TFaImport import(database, format, options.Settings);
        PrintContracts(import.ReadLoanList(options.Period, options.FOID, options.FinanceType), command.JsonFormat());
    } catch (const TUvoError& error) {
        return DatabaseFailure(command.Invocation, error);
    }
    return ExitSound;
}

int RunImport(const QStringList& arguments)
{
    const QByteArray description = QByteArray(ImportDescription) + ValuesHelp + ConnectionHelp + ImportExitHelp;
    TCommandLine command(QStringLiteral("import"), description.constData(), nullptr, nullptr);
    TImportOptions options(command.Parser);
    const QCommandLineOption outputOption({QStringLiteral("o"), QStringLiteral("output")},
                                          QStringLiteral("Write a new file OUT."), QStringLiteral("OUT"));
    const QCommandLineOption appendOption(QStringLiteral("append"),
                                          QStringLiteral("Add the records to the existing FILE."),
                                          QStringLiteral("FILE"));
    const QCommandLineOption modeOption(QStringLiteral("mode"), QStringLiteral("update (the default) or take-on."),
                                        QStringLiteral("update|take-on"), QStringLiteral("update"));
    const QCommandLineOption dealsOption(QStringLiteral("deals"),
                                         QStringLiteral("These contracts (DealIDs, separated by commas) instead of "
                                                        "the period's list."),
                                         QStringLiteral("ID,..."));
    const QCommandLineOption forceOption(QStringLiteral("force"),
                                         QStringLiteral("Write the file even though values do not fit it as "
                                                        "delivered."));
    command.Parser.addOptions({outputOption, appendOption, modeOption, dealsOption, forceOption});
    if (const auto done = command.Parse(arguments))
        return *done;
    const QString mode = command.Parser.value(modeOption);
    if (mode != u"update" && mode != u"take-on")
        return UsageError(command.Invocation, QStringLiteral("unknown mode '%1'; use update or take-on.").arg(mode));
    if (command.Parser.isSet(outputOption) == command.Parser.isSet(appendOption))
        return UsageError(command.Invocation, QStringLiteral("give either -o OUT or --append FILE."));
    std::optional<std::vector<qint64>> deals;
    if (command.Parser.isSet(dealsOption) && !(deals = ParseDeals(command.Parser.value(dealsOption))))
        return UsageError(command.Invocation, QStringLiteral("--deals takes DealIDs separated by commas."));
    if (!command.Parser.positionalArguments().isEmpty())
        return UsageError(command.Invocation, QStringLiteral("no files are taken but -o or --append."));

    TFormat format;
    if (const auto done = Prepare(command, options, format))
        return *done;
    const bool append = command.Parser.isSet(appendOption);
    const QString target = command.Parser.value(append ? appendOption : outputOption);
    if (TellInterruptedSaves(target))
        return ExitFailure;
    TContent content(format);
    if (append) {
        const UvoFile::ReadResult read = UvoFile::Read(target, content);
        if (!read.Ok) {
            PrintError(Escaped(target) + QLatin1String(": ") + Escaped(read.Message));
            return ExitFailure;
        }
        // Appending rewrites the file: what its reading passed over would be lost.
        if (!read.Losses.empty()) {
            PrintError(Escaped(target) + QStringLiteral(": reading passed over data on %1 line(s), the first on line "
                                                        "%2; nothing written ('uvotool check' names them).")
                                             .arg(read.Losses.size())
                                             .arg(read.Losses.front().Line));
            return ExitFindings;  // as sort and totals answer such a file
        }
    }
    const QString financeType = options.FinanceType.isEmpty() ? options.Settings.FinanceType : options.FinanceType;
    try {
        TOdbcDatabase database;
        options.Open(database);
        TFaImport import(database, format, options.Settings);
        if (!deals)
            deals = ListedDeals(import.ReadLoanList(options.Period, options.FOID, options.FinanceType));
        TRunControl control;
        auto records = import.Generate(*deals, options.Period,
                                       mode == u"update" ? TImportMode::Update : TImportMode::TakeOn, financeType,
                                       control);
        if (!records)
            return ExitFailure;  // nothing cancels a batch run; kept for the interface's sake
        if (!ReportValueProblems(target, import, command.Parser.isSet(forceOption)))
            return ExitFindings;
        const int count = int(records->size());
        import.Store(std::move(*records), append ? TImportTarget::CurrentFile : TImportTarget::NewFile,
                     options.Period.To, content);
        if (!SaveDataFile(target, content))
            return ExitFailure;
        Print(stdout, QStringLiteral("%1: %2 records of %3 contracts.\n").arg(target).arg(count).arg(deals->size()));
    } catch (const TUvoError& error) {
        return DatabaseFailure(command.Invocation, error);
    }
    return ExitSound;
}

}  // namespace UvoTool
