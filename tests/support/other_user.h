#pragma once

// Running part of a test as a user other than root, so that the kernel's permission checks
// are real: the tests run as root, whom no folder or file mode stops.

#include <functional>

#include <sys/types.h>

namespace testsupport {

/// The user "nobody" and its group, who own nothing that a test does not give them.
constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

/// Runs `body` in a child process as `kNobody` and gives its exit code, or -1 when the child
/// died of a signal or could not become that user.
int RunAsNobody(const std::function<int()>& body);

} // namespace testsupport
