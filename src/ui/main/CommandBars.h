#pragma once

#include <QKeySequence>
#include <QStyle>

class QAction;
class QObject;
class TMainForm;

// Builds the main window's commands and lays them out in the menu bar and the
// tool bar. A command shows the same caption, hint, icon and enabled state
// wherever it appears.
namespace CommandBars {

QAction* NewCommand(QObject* owner, const char* name, const QString& caption, const QString& hint,
                    QStyle::StandardPixmap icon, const QKeySequence& key = {});

// "Файл" and "Вид".
void FillMenus(TMainForm& form);
// Left to right, with gaps measured in tool buttons.
void FillToolBar(TMainForm& form);

}  // namespace CommandBars
