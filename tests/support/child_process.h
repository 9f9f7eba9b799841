#pragma once

// Running part of a test in a child process of its own, so that what the child takes on (another
// user, a limit of the kernel's) holds for it alone.

#include <functional>

namespace testsupport {

/// Runs `body` in a child process once `prepare` has readied the child, and gives its exit code,
/// or -1 when the child died of a signal or `prepare` failed.
int RunInChild(const std::function<bool()>& prepare, const std::function<int()>& body);

} // namespace testsupport
