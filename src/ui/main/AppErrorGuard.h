#pragma once

#include "TPrompts.h"
#include "TUvoError.h"

#include <exception>

// Runs a command. An error that the command did not catch itself ends up in the
// application's general error box; the window stays open and keeps its state.
template <class TCommand>
void RunGuarded(TCommand&& command)
{
    try {
        command();
    } catch (const TUvoError& e) {
        Prompts().AppError(e.Message());
    } catch (const std::exception& e) {
        Prompts().AppError(QString::fromLocal8Bit(e.what()));
    }
}
