#include "ChildProcess.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

[[noreturn]] void RunAndExit(const std::function<void()>& work)
{
    int code = 0;
    try {
        work();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        code = 1;
    }
    std::fflush(nullptr);
    _exit(code);
}

}  // namespace

std::string RunInChildProcess(const std::function<void()>& work)
{
    std::fflush(nullptr);  // or the child would print the parent's buffered output again
    const pid_t child = fork();
    if (child < 0)
        return std::string("fork failed: ") + std::strerror(errno);
    if (child == 0)
        RunAndExit(work);
    int status = 0;
    if (waitpid(child, &status, 0) < 0)
        return std::string("waitpid failed: ") + std::strerror(errno);
    if (!WIFEXITED(status))
        return "the child process was ended by signal " + std::to_string(WTERMSIG(status));
    if (WEXITSTATUS(status) != 0)
        return "the child process failed with exit code " + std::to_string(WEXITSTATUS(status));
    return {};
}
