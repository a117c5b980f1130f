#include "OutOfMemory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <unistd.h>

namespace OutOfMemory {
namespace {

const char* Message = "";
std::terminate_handler Previous = nullptr;

bool IsOutOfMemory(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return true;
    } catch (...) {
        return false;
    }
}

[[noreturn]] void Terminate()
{
    if (const std::exception_ptr error = std::current_exception(); error && IsOutOfMemory(error)) {
        std::fflush(stdout);
        // No allocation here: memory has run out.
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, Message, std::strlen(Message));
        ::_exit(2);
    }
    if (Previous)
        Previous();
    std::abort();
}

}  // namespace

void ExitWithMessage(const char* message)
{
    Message = message;
    Previous = std::set_terminate(Terminate);
}

}  // namespace OutOfMemory
