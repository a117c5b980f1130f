#include "DiffCommand.h"

#include "CommandLine.h"
#include "ContentDiff.h"
#include "FindingWriters.h"
#include "Findings.h"
#include "TContent.h"
#include "TFormat.h"
#include "UvoFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace UvoTool {
namespace {

const char* const DiffDescription =
    "Compares two UVO files account by account and prints one line per difference:\n"
    "an account only one file holds, a record added to or removed from an account,\n"
    "and a field whose value changed (the account first, then the record type, the\n"
    "field and its caption, the old and the new value). Records are paired by type\n"
    "and sort key within their account, so records that only moved, or a file that\n"
    "was only sorted, give no differences. A summary follows.\n"
    "\n"
    "Exit status: 0 when both files hold the same records, 1 when they differ, 2\n"
    "when a file could not be read.";

using TGroup = TAccountDifference::TGroup;
using TAccountKind = TAccountDifference::TKind;
using TRecordKind = TRecordDifference::TKind;

// The records of a file as the editor reads them; none once the reason is on
// standard error. What reading passes over is told but does not stop the
// comparison: the records are compared as the editor would hold them.
std::unique_ptr<TContent> ReadContent(const TFormat& format, const QString& file)
{
    const auto bytes = ReadInput(file);
    if (!bytes)
        return nullptr;
    auto content = std::make_unique<TContent>(format);
    const UvoFile::ReadResult read = UvoFile::ReadBytes(*bytes, *content);
    if (!read.Ok) {
        PrintFileError(file, Escaped(read.Message));
        return nullptr;
    }
    if (!read.Losses.empty())
        PrintFileError(file, QStringLiteral("reading passed over data on %1 %2; compared without it.")
                                 .arg(read.Losses.size())
                                 .arg(QLatin1String(read.Losses.size() == 1 ? "line" : "lines")));
    return content;
}

// "header", "trailer", "none" or "account": the group in a report for programs.
QString GroupCode(TGroup group)
{
    switch (group) {
    case TGroup::Header:
        return QStringLiteral("header");
    case TGroup::Trailer:
        return QStringLiteral("trailer");
    case TGroup::NoAccount:
        return QStringLiteral("none");
    case TGroup::Account:
        break;
    }
    return QStringLiteral("account");
}

// The group in a line of text: the account quoted, as check quotes it.
QString GroupName(const TAccountDifference& group)
{
    if (group.Group == TGroup::Account)
        return QStringLiteral("account ") + Quoted(group.Account);
    return group.Group == TGroup::NoAccount ? QStringLiteral("no account") : GroupCode(group.Group);
}

// "added", "removed" or "changed", for an account or a record alike.
template <typename Kind>
QString KindCode(Kind kind)
{
    return kind == Kind::Added ? QStringLiteral("added") : kind == Kind::Removed ? QStringLiteral("removed")
                                                                               : QStringLiteral("changed");
}

QString Plural(qsizetype n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

QString SummaryText(const TDiffSummary& s)
{
    return QStringLiteral("accounts: %1 added, %2 removed, %3 changed; records: %4 added, %5 removed, "
                          "%6 changed; %7 changed\n")
        .arg(s.AccountsAdded)
        .arg(s.AccountsRemoved)
        .arg(s.AccountsChanged)
        .arg(s.RecordsAdded)
        .arg(s.RecordsRemoved)
        .arg(s.RecordsChanged)
        .arg(Plural(s.FieldsChanged, "field", "fields"));
}

QString AccountLine(const TAccountDifference& group)
{
    const QString records = Plural(qsizetype(group.Records.size()), "record", "records");
    return QStringLiteral("%1: %2\n")
        .arg(GroupName(group), group.Kind == TAccountKind::Added     ? QStringLiteral("only in the new file, ") + records
                               : group.Kind == TAccountKind::Removed ? QStringLiteral("only in the old file, ") + records
                                                                     : QStringLiteral("changed in ") + records);
}

QString RecordLines(const TAccountDifference& group)
{
    const QString subject = GroupName(group);
    QString lines;
    for (const TRecordDifference& record : group.Records) {
        const QString recordText = QStringLiteral("record %1 (%2)").arg(record.Rec->RecID, record.Rec->Name);
        if (record.Kind == TRecordKind::Changed) {
            for (const TFieldDifference& field : record.Fields)
                lines += QStringLiteral("%1: %2, field %3 (%4): %5 -> %6\n")
                             .arg(subject, recordText, field.Rule->FldID(), field.Rule->Name, Quoted(field.OldValue),
                                  Quoted(field.NewValue));
            continue;
        }
        const bool added = record.Kind == TRecordKind::Added;
        lines += QStringLiteral("%1: %2 %3, %4 line %5\n")
                     .arg(subject, recordText, KindCode(record.Kind), added ? QStringLiteral("new") : QStringLiteral("old"))
                     .arg((added ? record.NewIndex : record.OldIndex) + 1);
    }
    return lines;
}

// One line per difference, an account that only one file holds as one line;
// with accountsOnly, one line per account that differs.
void PrintText(const TContentDiff& diff, bool accountsOnly)
{
    for (const TAccountDifference& group : diff.Accounts()) {
        if (accountsOnly && group.Group != TGroup::Account)
            continue;
        Print(stdout, accountsOnly || group.Kind != TAccountKind::Changed ? AccountLine(group) : RecordLines(group));
    }
    Print(stdout, SummaryText(diff.Summary()));
}

QJsonObject RecordObject(const TAccountDifference& group, const TRecordDifference& record)
{
    QJsonObject object{
        {QStringLiteral("group"), GroupCode(group.Group)},
        {QStringLiteral("account"), group.Group == TGroup::Account ? QJsonValue(group.Account) : QJsonValue()},
        {QStringLiteral("recordType"), record.Rec->RecID},
        {QStringLiteral("recordName"), record.Rec->Name},
        {QStringLiteral("change"), KindCode(record.Kind)},
        {QStringLiteral("oldLine"), record.OldRec ? QJsonValue(record.OldIndex + 1) : QJsonValue()},
        {QStringLiteral("newLine"), record.NewRec ? QJsonValue(record.NewIndex + 1) : QJsonValue()},
    };
    QJsonArray fields;
    for (const TFieldDifference& field : record.Fields)
        fields.append(QJsonObject{{QStringLiteral("field"), field.Rule->FldID()},
                                  {QStringLiteral("caption"), field.Rule->Name},
                                  {QStringLiteral("old"), field.OldValue},
                                  {QStringLiteral("new"), field.NewValue}});
    if (record.Kind == TRecordKind::Changed)
        object.insert(QStringLiteral("fields"), fields);
    return object;
}

void PrintJson(const QString& oldFile, const QString& newFile, const TContentDiff& diff, bool accountsOnly)
{
    QJsonObject accounts{{QStringLiteral("added"), QJsonArray()},
                         {QStringLiteral("removed"), QJsonArray()},
                         {QStringLiteral("changed"), QJsonArray()}};
    QJsonArray records;
    for (const TAccountDifference& group : diff.Accounts()) {
        if (group.Group == TGroup::Account) {
            QJsonArray list = accounts.value(KindCode(group.Kind)).toArray();
            list.append(group.Account);
            accounts.insert(KindCode(group.Kind), list);
        }
        if (!accountsOnly)
            for (const TRecordDifference& record : group.Records)
                records.append(RecordObject(group, record));
    }
    const TDiffSummary& s = diff.Summary();
    QJsonObject report{
        {QStringLiteral("old"), oldFile},
        {QStringLiteral("new"), newFile},
        {QStringLiteral("same"), diff.Same()},
        {QStringLiteral("accounts"), accounts},
        {QStringLiteral("summary"),
         QJsonObject{{QStringLiteral("accountsAdded"), double(s.AccountsAdded)},
                     {QStringLiteral("accountsRemoved"), double(s.AccountsRemoved)},
                     {QStringLiteral("accountsChanged"), double(s.AccountsChanged)},
                     {QStringLiteral("recordsAdded"), double(s.RecordsAdded)},
                     {QStringLiteral("recordsRemoved"), double(s.RecordsRemoved)},
                     {QStringLiteral("recordsChanged"), double(s.RecordsChanged)},
                     {QStringLiteral("fieldsChanged"), double(s.FieldsChanged)}}},
    };
    if (!accountsOnly)
        report.insert(QStringLiteral("records"), records);
    const QByteArray json = QJsonDocument(report).toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
}

}  // namespace

int RunDiff(const QStringList& arguments)
{
    TCommandLine command(QStringLiteral("diff"), DiffDescription, "The older file, then the newer one.", "OLD NEW");
    command.AddFormatOption(QStringLiteral("The form of the report: text (the default) or json, "
                                           "one JSON object with the accounts, the records and a summary."));
    const QCommandLineOption accountsOnlyOption(QStringLiteral("accounts-only"),
                                                QStringLiteral("Print only the accounts added, removed and changed."));
    command.Parser.addOption(accountsOnlyOption);
    if (const auto done = command.Parse(arguments))
        return *done;
    const QStringList files = command.Parser.positionalArguments();
    if (files.size() != 2)
        return UsageError(command.Invocation, QStringLiteral("two files to compare, the older one first."));

    TFormat format;
    if (!LoadFormat(format))
        return ExitFailure;
    const auto oldContent = ReadContent(format, files[0]);
    if (!oldContent)
        return ExitFailure;
    const auto newContent = ReadContent(format, files[1]);
    if (!newContent)
        return ExitFailure;
    const TContentDiff diff(*oldContent, *newContent);
    const bool accountsOnly = command.Parser.isSet(accountsOnlyOption);
    if (command.JsonFormat())
        PrintJson(files[0], files[1], diff, accountsOnly);
    else
        PrintText(diff, accountsOnly);
    return diff.Same() ? ExitSound : ExitFindings;
}

}  // namespace UvoTool
