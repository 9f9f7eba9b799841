#include "tests/support/other_user.h"

#include "tests/support/child_process.h"

#include <grp.h>
#include <unistd.h>

namespace testsupport {

int RunAsNobody(const std::function<int()>& body)
{
    return RunInChild(
        [] {
            // The group first: once the user is nobody, it may no longer change its groups.
            return setgroups(0, nullptr) == 0 && setgid(kNogroup) == 0 && setuid(kNobody) == 0;
        },
        body);
}

} // namespace testsupport
