#include "ProgramRun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace {

double Ms(const timeval& time) { return time.tv_sec * 1e3 + time.tv_usec / 1e3; }

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& arguments, const std::string& outFile)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int error = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error("cannot start " + arguments[0] + ": " + std::strerror(error));
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) < 0)
        throw std::runtime_error("wait4 failed: " + std::string(std::strerror(errno)));

    ProgramRun run;
    run.WallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.CpuMs = Ms(usage.ru_utime) + Ms(usage.ru_stime);
    run.SystemMs = Ms(usage.ru_stime);
    run.PeakBytes = qint64(usage.ru_maxrss) * 1024;  // Linux counts it in kilobytes
    return run;
}

ProgramRun MedianRun(std::vector<ProgramRun> runs)
{
    if (runs.empty())
        return {};
    const auto middle = runs.begin() + std::ptrdiff_t(runs.size() / 2);
    std::nth_element(runs.begin(), middle, runs.end(),
                     [](const ProgramRun& a, const ProgramRun& b) { return a.WallMs < b.WallMs; });
    return *middle;
}
