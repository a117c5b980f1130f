#pragma once

#include <QStringList>

namespace UvoTool {

// uvotool diff OLD NEW: what changed from one submission to the next, account
// by account; 0 when both hold the same records, 1 when they differ, 2 when a
// file could not be read.
int RunDiff(const QStringList& arguments);

}  // namespace UvoTool
