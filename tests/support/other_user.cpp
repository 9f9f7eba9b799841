#include "tests/support/other_user.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

int RunAsNobody(const std::function<int()>& body)
{
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        // The group first: once the user is nobody, it may no longer change its groups.
        if (setgroups(0, nullptr) != 0 || setgid(kNogroup) != 0 || setuid(kNobody) != 0)
            _exit(126);
        _exit(body());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status) == 126 ? -1 : WEXITSTATUS(status);
}

} // namespace testsupport
