#pragma once

#include <functional>
#include <string>

// Runs work in a forked copy of this process and waits for it. Whatever the
// work allocates dies with the copy, so the caller's memory figures stay
// clean. Answers an empty text, or why the work failed.
std::string RunInChildProcess(const std::function<void()>& work);
