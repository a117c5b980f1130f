#pragma once

#include <QStringList>

// uvotool's commands on the core banking database: the contract list of a
// period, and the records of contracts written into a data file.
namespace UvoTool {

int RunContracts(const QStringList& arguments);
int RunImport(const QStringList& arguments);

}  // namespace UvoTool
