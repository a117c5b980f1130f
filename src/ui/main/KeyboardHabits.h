#pragma once

class QMainWindow;

// What a keyboard user of a Linux desktop program expects of the main window
// beyond the underlined letters of its menus.
namespace KeyboardHabits {

// Every command of the window with a key shows it after its hint:
// "Открыть файл (Ctrl+O)". Run once the window's commands are all made.
void ShowKeysInToolTips(QMainWindow& window);

// F10 opens the first menu of the menu bar, Escape leaves it.
void OpenMenuBarOnF10(QMainWindow& window);

}  // namespace KeyboardHabits
