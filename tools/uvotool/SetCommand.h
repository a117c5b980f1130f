#pragma once

#include <QStringList>

namespace UvoTool {

// uvotool set: one field set to one value in the records of one type, as the
// editor's replace dialog does it.
int RunSet(const QStringList& arguments);

}  // namespace UvoTool
