#pragma once

#include <QString>

class TMainForm;

// The menu "Справка", the last of the menu bar, with "О программе": the
// program's version, the toolkit's, the format description in use and the
// licence, in a message box.
namespace HelpMenu {

void Add(TMainForm& form);

QString AboutText(const TMainForm& form);

}  // namespace HelpMenu
