#pragma once

// Where memory runs out in a thread that does not catch it, the program ends
// with `message` on standard error and exit status 2 instead of an abort.
namespace OutOfMemory {

void ExitWithMessage(const char* message);

}  // namespace OutOfMemory
