#include "SetCommand.h"

#include "CommandLine.h"
#include "FieldReplace.h"
#include "FindingWriters.h"
#include "Findings.h"
#include "TContent.h"
#include "TFormat.h"
#include "TUvoError.h"
#include "UvoFile.h"

#include <unistd.h>

namespace UvoTool {
namespace {

const char* const SetDescription =
    "Sets one field to one value in the records of one record type, as the editor's\n"
    "replace dialog does: every record of the type, or with --where-value only\n"
    "those whose value is exactly OLD now (an empty OLD picks the empty ones). The\n"
    "value is stored as given, in the form the file holds it (numbers zero-filled\n"
    "to the field's width, dates yyyymmdd); an invalid value is counted, never\n"
    "refused. When the field is part of the records' sort key the records are\n"
    "ordered again; the Trailer's totals are left as they are. Prints how many\n"
    "records changed and how many of them hold an invalid value before and after\n"
    "(on standard error when the file goes to standard output). Without -o the\n"
    "file is replaced in one step through a temporary file, so it is never left\n"
    "half-written.\n"
    "\n"
    "Exit status: 0 when written, 1 when reading passed over data (nothing is\n"
    "written), 2 when the file could not be read or written, or the record type\n"
    "does not have the field.";

struct TSetOptions {
    QCommandLineOption Type{QStringLiteral("type"), QStringLiteral("The record type id, e.g. 300210."),
                            QStringLiteral("T")};
    QCommandLineOption Field{QStringLiteral("field"), QStringLiteral("The field id, e.g. 310003."),
                             QStringLiteral("F")};
    QCommandLineOption Value{QStringLiteral("value"), QStringLiteral("The new value; may be empty."),
                             QStringLiteral("V")};
    QCommandLineOption WhereValue{QStringLiteral("where-value"),
                                  QStringLiteral("Only the records whose value is exactly OLD now."),
                                  QStringLiteral("OLD")};
    QCommandLineOption Output{{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("Write the result to OUT and leave FILE as it is; "
                                             "- is standard output."),
                              QStringLiteral("OUT")};
    QCommandLineOption Force{QStringLiteral("force"),
                             QStringLiteral("Write the file even though reading passed over data "
                                            "that the written file will not hold.")};

    void AddTo(QCommandLineParser& parser) const
    {
        parser.addOptions({Type, Field, Value, WhereValue, Output, Force});
    }
};

// The field to set, or none once the reason is on standard error.
const TRule* FieldToSet(const TFormat& format, const QString& invocation, const QString& recId, const QString& fldId)
{
    const TRec* rec = format.GetRec(recId);
    if (!rec || format.Layout(rec).empty()) {
        UsageError(invocation, QStringLiteral("no record type %1 with a layout.").arg(Escaped(recId)));
        return nullptr;
    }
    if (const TRule* rule = TFieldReplace::Field(format, *rec, fldId))
        return rule;
    const TFld* fld = format.GetFld(fldId);
    const QString field = fld ? QStringLiteral("%1 (%2)").arg(fldId, fld->Name) : Escaped(fldId);
    const QString type = QStringLiteral("record type %1 (%2)").arg(recId, rec->Name);
    // The type holds it, as its record type or its end of record.
    if (format.GetRule(recId, fldId))
        UsageError(invocation, QStringLiteral("field %1 of %2 is not a value to set.").arg(field, type));
    else
        UsageError(invocation, QStringLiteral("%1 has no field %2.").arg(type, field));
    return nullptr;
}

QString Summary(const TReplacePreview& preview)
{
    return QStringLiteral("%1 %2 changed; with an invalid value: %3 before, %4 after.\n")
        .arg(preview.Changing)
        .arg(QLatin1String(preview.Changing == 1 ? "record" : "records"))
        .arg(preview.InvalidNow)
        .arg(preview.InvalidAfter);
}

}  // namespace

int RunSet(const QStringList& arguments)
{
    TCommandLine command(QStringLiteral("set"), SetDescription,
                         "The UVO file to read, and to replace unless -o is given.", "FILE", RewriteNotes);
    const TSetOptions options;
    options.AddTo(command.Parser);
    if (const auto done = command.Parse(arguments))
        return *done;
    const QCommandLineParser& parser = command.Parser;
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return UsageError(command.Invocation, files.isEmpty() ? QStringLiteral("no file given.")
                                                              : QStringLiteral("one file at a time."));
    for (const QCommandLineOption* required : {&options.Type, &options.Field, &options.Value})
        if (!parser.isSet(*required))
            return UsageError(command.Invocation, QStringLiteral("--%1 is required.").arg(required->names().front()));
    const QString& file = files.front();
    const QString target = parser.isSet(options.Output) ? parser.value(options.Output) : file;
    if (target != StandardStream && TellInterruptedSaves(target))
        return ExitFailure;

    TFormat format;
    if (!LoadFormat(format))
        return ExitFailure;
    const TRule* rule = FieldToSet(format, command.Invocation, parser.value(options.Type), parser.value(options.Field));
    if (!rule)
        return ExitFailure;
    TContent content(format);
    if (const auto refused = ReadToRewrite(file, parser.isSet(options.Force), content))
        return *refused;

    std::optional<QString> whereValue;
    if (parser.isSet(options.WhereValue))
        whereValue = parser.value(options.WhereValue);
    const TFieldReplace replace(format, *rule, parser.value(options.Value), whereValue);
    const std::vector<TContentRec*> changing = replace.Changing(content.Records());
    const TReplacePreview preview = replace.Preview(changing);
    // As the editor does it: sorted when a key changed; the totals are left
    // as they are, since no record comes or goes.
    if (SetFieldInRecords(changing, replace.FldID(), replace.Value()))
        content.SortRec();
    if (const int written = WriteRewritten(target, content); written != ExitSound)
        return written;
    Print(target == StandardStream ? stderr : stdout, Summary(preview));
    return ExitSound;
}

}  // namespace UvoTool
