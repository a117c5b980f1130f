#pragma once

#include <QByteArray>

#include <memory>
#include <optional>

class TMainForm;

// Start-up of the program's windows: the main window first, then the dialogs
// that live as long as it does, each made once, hidden, and reused until exit.
// The main window's construction comes before them and so cannot use them.
// formatText replaces the format description carried in the program.
std::unique_ptr<TMainForm> CreateAppWindows(std::optional<QByteArray> formatText = std::nullopt);
