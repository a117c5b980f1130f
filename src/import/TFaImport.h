#pragma once

#include "DeliveredValues.h"
#include "FaTypes.h"

#include <memory>
#include <optional>
#include <vector>

class TContent;
class TContentRec;
class TDatabase;
class TFormat;
struct TSettings;

using TRecordList = std::vector<std::unique_ptr<TContentRec>>;

// What drives a generation run from outside: the dialog repaints and lets Esc
// through, the command line does nothing.
class TRunControl {
public:
    virtual ~TRunControl() = default;
    // Asked before each contract; false ends the run as cancelled.
    virtual bool GoOn() { return true; }
    // After each contract: how many of how many are done.
    virtual void Progress(int /*done*/, int /*total*/) {}
    // Asked after the last contract; false drops the run's records.
    virtual bool KeepRecords() { return true; }
};

// The core banking import on an open connection: the financial operations,
// the contract list and the records of contracts.
class TFaImport {
public:
    TFaImport(TDatabase& database, const TFormat& format, const TSettings& settings)
        : FDatabase(database), FFormat(format), FSettings(settings)
    {
    }

    std::vector<TFO> ReadFOList();
    // The same into the caller's list, which keeps what was read before a failure.
    void ReadFOList(std::vector<TFO>& list);
    // Contracts of the first result set, in the order the database gives them.
    std::vector<TLoan> ReadLoanList(const TPeriod& period, qint64 foid, const QString& financeType);

    // The records of the contracts, in order: per contract every row of every
    // result set whose record type is known. Each record gets the known values,
    // the finance type, then every delivered column its record type has. None
    // when the run is cancelled; a database failure throws TDbError and drops
    // every record made so far.
    // Every delivered value goes into its field without control characters;
    // what the file cannot hold as delivered is in ValueProblems afterwards.
    std::optional<TRecordList> Generate(const std::vector<qint64>& dealIds, const TPeriod& period, TImportMode mode,
                                        const QString& financeType, TRunControl& control);

    // What the last Generate found in the delivered values, record by record.
    const std::vector<TValueProblem>& ValueProblems() const { return FValues.Problems(); }
    bool ValuesAltered() const { return FValues.AnyAltered(); }

    // Puts a complete run's records into the content: into a new file (the
    // content emptied, a fresh Header and Trailer dated with the end of the
    // period) or after the open file's records; then the totals and the order.
    void Store(TRecordList records, TImportTarget target, const QDate& endDate, TContent& content) const;

    // The date the known values use; today unless a test fixes it.
    void SetToday(const QDate& today) { FToday = today; }

private:
    void ReadRecords(qint64 dealId, const QString& commandText, const QString& financeType, TRecordList& records);
    QDate Today() const;

    TDatabase& FDatabase;
    const TFormat& FFormat;
    const TSettings& FSettings;
    QDate FToday;
    TDeliveredValues FValues;
};
