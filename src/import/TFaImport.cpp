#include "TFaImport.h"

#include "FaCommands.h"
#include "KnownValues.h"
#include "TContent.h"
#include "TDatabase.h"
#include "TFormat.h"
#include "TSettings.h"

namespace {

// Reads one row of a list; a value that cannot be read names the row too.
template <typename Read>
auto InRow(qsizetype row, const Read& read)
{
    try {
        return read();
    } catch (const TDbError& error) {
        throw TDbError(QStringLiteral("Строка %1 ответа базы данных. %2").arg(row).arg(error.Message()),
                       error.State());
    }
}

}  // namespace

std::vector<TFO> TFaImport::ReadFOList()
{
    std::vector<TFO> list;
    ReadFOList(list);
    return list;
}

void TFaImport::ReadFOList(std::vector<TFO>& list)
{
    const auto reply = FDatabase.Execute(FaCommands::FOListQuery());
    if (!reply->NextResultSet())
        return;
    for (qsizetype row = 1; reply->NextRow(); ++row)
        list.push_back(InRow(row, [&] { return TFO{reply->Int64(0), reply->Text(1)}; }));
}

std::vector<TLoan> TFaImport::ReadLoanList(const TPeriod& period, qint64 foid, const QString& financeType)
{
    std::vector<TLoan> loans;
    const auto reply = FDatabase.Execute(FaCommands::ContractListCall(FFormat, period, foid, financeType));
    if (!reply->NextResultSet())
        return loans;
    const TDbReply& row = *reply;
    const int dealId = row.RequiredColumn(QStringLiteral("DealID"));
    const int dealDate = row.RequiredColumn(QStringLiteral("DealDate"));
    const int dealNumber = row.RequiredColumn(QStringLiteral("DealNumber"));
    const int foBrief = row.RequiredColumn(QStringLiteral("FOBrief"));
    const int dealQty = row.RequiredColumn(QStringLiteral("DealQty"));
    const int fund = row.RequiredColumn(QStringLiteral("Fund"));
    const int clName = row.RequiredColumn(QStringLiteral("ClName"));
    const int ft = row.RequiredColumn(QStringLiteral("FT"));
    for (qsizetype number = 1; reply->NextRow(); ++number)
        loans.push_back(InRow(number, [&] {
            return TLoan{row.Int64(dealId), row.Date(dealDate), row.Text(dealNumber), row.Text(foBrief),
                         row.Currency(dealQty), row.Text(fund),  row.Text(clName),    row.Text(ft),
                         false};
        }));
    return loans;
}

std::optional<TRecordList> TFaImport::Generate(const std::vector<qint64>& dealIds, const TPeriod& period,
                                               TImportMode mode, const QString& financeType, TRunControl& control)
{
    TRecordList records;
    FValues.Clear();
    const int total = int(dealIds.size());
    for (int done = 0; done < total; ++done) {
        if (!control.GoOn())
            return std::nullopt;
        const qint64 dealId = dealIds[size_t(done)];
        ReadRecords(dealId, FaCommands::RecordCall(period, dealId, mode), financeType, records);
        control.Progress(done + 1, total);
    }
    if (!control.KeepRecords())
        return std::nullopt;
    return records;
}

void TFaImport::ReadRecords(qint64 dealId, const QString& commandText, const QString& financeType,
                            TRecordList& records)
{
    const auto reply = FDatabase.Execute(commandText);
    const TContent maker(FFormat, false);
    while (reply->NextResultSet()) {
        const int columns = reply->ColumnCount();
        while (reply->NextRow()) {
            const TRec* type = FFormat.GetRec(reply->Text(0));
            if (!type)
                continue;
            std::unique_ptr<TContentRec> rec = maker.CreateNewOnRec(type);
            if (!rec)
                continue;
            KnownValues::Apply(*rec, nullptr, FSettings, Today());
            rec->SetVal(UvoIds::FinanceTypeFld, financeType);
            // A delivered value overrides the known ones; a column the record
            // type has no field for changes nothing.
            for (int column = 1; column < columns; ++column)
                FValues.Set(*rec, reply->ColumnName(column), reply->Text(column), dealId, int(records.size()) + 1);
            rec->CalcSortStr();
            records.push_back(std::move(rec));
        }
    }
}

void TFaImport::Store(TRecordList records, TImportTarget target, const QDate& endDate, TContent& content) const
{
    if (target == TImportTarget::NewFile) {
        content.Clear();
        content.CreateBoundsRecs();
        for (TContentRec* bound : {content.GetHeaderRec(), content.GetTrailerRec()})
            if (bound)
                KnownValues::Apply(*bound, nullptr, FSettings, Today());
        if (TContentRec* header = content.GetHeaderRec()) {
            const QString day = endDate.toString(QStringLiteral("yyyyMMdd"));
            header->SetVal(UvoIds::AccountingDateFld, day);
            header->SetVal(UvoIds::FilePreparationDateFld, day);
        }
    }
    content.Reserve(content.Count() + int(records.size()));
    for (std::unique_ptr<TContentRec>& rec : records)
        content.Add(std::move(rec));
    content.CalcRecsCount();
    content.SortRec();
}

QDate TFaImport::Today() const { return FToday.isValid() ? FToday : QDate::currentDate(); }
