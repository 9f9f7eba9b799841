#pragma once

// A real write fault for tests: the kernel's file-size limit (RLIMIT_FSIZE).

#include <sys/resource.h>

#include <cstdint>

namespace testsupport {

/// Lowers this process's file-size limit while it lives: a write that would take a file past
/// `bytes` then fails with EFBIG, as on a disk that is full. The program's application object
/// ignores SIGXFSZ, so the write fails instead of ending the process. Only the soft limit is
/// lowered, so that it can be raised again afterwards.
class FileSizeLimit {
public:
    explicit FileSizeLimit(uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit mPrevious{};
};

} // namespace testsupport
