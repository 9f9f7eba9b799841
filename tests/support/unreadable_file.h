#pragma once

// A real read fault for tests: a file that opens as a regular file and whose read fails.

#include <string>

namespace testsupport {

/// Makes `path` a link to /proc/self/mem. The kernel opens it as a regular file, the memory of
/// whichever process opens it, and its first read, at offset 0 where no page is ever mapped,
/// fails with EIO, as a disk that cannot give a file's bytes fails it. False, with the test
/// failed, when the link cannot be made or the kernel does not behave so.
[[nodiscard]] bool MakeFileWhoseReadFails(const std::string& path);

/// Whether `path` is still the link that MakeFileWhoseReadFails made: nothing was written in
/// its place.
bool IsFileWhoseReadFails(const std::string& path);

} // namespace testsupport
