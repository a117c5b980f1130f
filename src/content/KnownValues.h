#pragma once

#include <QDate>

class TContentRec;
struct TSettings;

// Fills a freshly created record with the values the system already knows:
// its own type id, the submitter's identification from the settings, today's
// date in the Header, the first sequence numbers "01", a Trailer's Filler0,
// and the account number of the record the user was looking at.
namespace KnownValues {

void Apply(TContentRec& Rec, const TContentRec* FromRec, const TSettings& settings, const QDate& today);

}  // namespace KnownValues
