#pragma once

#include <QKeySequence>

class QAction;
class QObject;
class TMainForm;

// Builds the main window's commands and lays them out in the menu bar and the
// tool bar. A command shows the same caption, hint, icon and enabled state
// wherever it appears.
namespace CommandBars {

// The command's icon is the desktop theme's icon for what it does, or the
// program's own drawing of it (resources/icons/<name>.svg) where the theme
// has none.
QAction* NewCommand(QObject* owner, const char* name, const QString& caption, const QString& hint,
                    const QKeySequence& key = {});

// "Файл" and "Вид".
void FillMenus(TMainForm& form);
// Left to right, with gaps measured in tool buttons.
void FillToolBar(TMainForm& form);

}  // namespace CommandBars
