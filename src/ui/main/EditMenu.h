#pragma once

class TMainForm;

// The top of the menu "Правка": "Отменить" and "Повторить" over the undo
// history of the record commands, a separator, "Найти…", which opens the
// find bar (F3 and Shift+F3 find again anywhere in the window), and
// "Заменить значение…".
namespace EditMenu {

void AddUndoAndFind(TMainForm& form);

}  // namespace EditMenu
