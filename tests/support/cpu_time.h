#pragma once

// Running part of a test in a child process with a real bound on its processor time, so that
// work that would take minutes fails the test in seconds instead.

#include <functional>

namespace testsupport {

/// Runs `body` in a child process that may use `seconds` of processor time, and gives its exit
/// code, or -1 when the child died of a signal: SIGXCPU once its time is used up. The child
/// leaves no core file.
int RunWithinCpuTime(unsigned seconds, const std::function<int()>& body);

} // namespace testsupport
