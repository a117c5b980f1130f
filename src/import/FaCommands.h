#pragma once

#include "FaTypes.h"

#include <QString>

class TFormat;

// The command texts sent to the core banking database. Nothing a user types
// reaches them: the dates are formatted here, the ids are integers, and the
// finance type must be one of the format description's codes.
namespace FaCommands {

// The financial operations of credit contracts, by name.
QString FOListQuery();

// The contract list of the period (mode 0), for one financial operation or
// all (0), and one finance type code or any (empty). Throws TUvoError for a
// finance type that is not a code of the format description.
QString ContractListCall(const TFormat& format, const TPeriod& period, qint64 foid, const QString& financeType);

// The records of one contract.
QString RecordCall(const TPeriod& period, qint64 dealId, TImportMode mode);

// Whether the text is a finance type code of the format description.
bool IsFinanceTypeCode(const TFormat& format, const QString& code);

}  // namespace FaCommands
