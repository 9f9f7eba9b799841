#include "tests/support/cpu_time.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

int RunWithinCpuTime(unsigned seconds, const std::function<int()>& body)
{
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        const rlimit noCore{0, 0};
        const rlimit cpu{seconds, seconds + 1};
        if (setrlimit(RLIMIT_CORE, &noCore) != 0 || setrlimit(RLIMIT_CPU, &cpu) != 0)
            _exit(126);
        _exit(body());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status) == 126 ? -1 : WEXITSTATUS(status);
}

} // namespace testsupport
