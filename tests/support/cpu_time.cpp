#include "tests/support/cpu_time.h"

#include "tests/support/child_process.h"

#include <sys/resource.h>

namespace testsupport {

int RunWithinCpuTime(unsigned seconds, const std::function<int()>& body)
{
    return RunInChild(
        [seconds] {
            const rlimit noCore{0, 0};
            const rlimit cpu{seconds, seconds + 1};
            return setrlimit(RLIMIT_CORE, &noCore) == 0 && setrlimit(RLIMIT_CPU, &cpu) == 0;
        },
        body);
}

} // namespace testsupport
