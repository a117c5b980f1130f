#pragma once

#include <vector>

class TContentRec;

// Which records of the content list one change (or its undo) touched, and how
// the views follow it.
struct TRecordChange {
    // Records whose values are new: edited, added, put back, the Trailer with new totals.
    std::vector<const TContentRec*> Changed;
    // Records that left the list; they live on in the undo history until it forgets them.
    std::vector<const TContentRec*> Removed;
    // Records came, went or moved in ways the views do not follow row by row:
    // they rebuild, focused on Focus. Otherwise they drop the rows of the
    // removed records and draw the rows of the changed ones afresh.
    bool Rebuild = false;
    TContentRec* Focus = nullptr;
};
