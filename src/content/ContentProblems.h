#pragma once

#include "ContentCheck.h"
#include "RecordChange.h"

#include <vector>

// The findings of the open file, kept in step with its content list: the
// whole check runs when the list is refilled (reading a file, a new file),
// and after a change of some records only their fields are checked again,
// together with what concerns the list as a whole (order, Header, Trailer,
// totals), which needs no look at the values of the other records.
class TContentProblems {
public:
    explicit TContentProblems(const TContent& content) : FContent(content), FCheck(content.Format()) {}

    // fromFile: the records stand in the order of the lines just read, so the
    // findings carry line numbers and the losses find their records.
    void CheckAll(bool fromFile, const std::vector<TReadLoss>& losses);
    void Update(const TRecordChange& change);
    // Before the records go: no finding refers to them any more.
    void Clear() { FFindings.clear(); }

    const std::vector<TFinding>& Findings() const { return FFindings; }

private:
    const TContent& FContent;
    TContentCheck FCheck;
    std::vector<TFinding> FFindings;
};
