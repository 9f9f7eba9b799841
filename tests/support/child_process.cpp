#include "tests/support/child_process.h"

#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

namespace {

// The exit code of a child that could not be readied.
constexpr int kNotReady = 126;

} // namespace

int RunInChild(const std::function<bool()>& prepare, const std::function<int()>& body)
{
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0)
        _exit(prepare() ? body() : kNotReady);
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status) == kNotReady ? -1 : WEXITSTATUS(status);
}

} // namespace testsupport
