#include "tests/support/unreadable_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

namespace {

constexpr const char* kMemory = "/proc/self/mem";

} // namespace

bool MakeFileWhoseReadFails(const std::string& path)
{
    std::error_code ec;
    std::filesystem::create_symlink(kMemory, path, ec);
    if (ec) {
        ADD_FAILURE() << "cannot link " << path << " to " << kMemory << ": " << ec.message();
        return false;
    }
    // What the program will meet: a regular file that opens, and a read that fails.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        ADD_FAILURE() << kMemory << " is not a regular file here";
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        ADD_FAILURE() << kMemory << " does not open: " << std::strerror(errno);
        return false;
    }
    char byte = 0;
    const ssize_t n = ::read(fd, &byte, 1);
    const int error = errno;
    ::close(fd);
    if (n >= 0 || error != EIO) {
        ADD_FAILURE() << "a read of " << kMemory << " at offset 0 did not fail with EIO";
        return false;
    }
    return true;
}

bool IsFileWhoseReadFails(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_symlink(path, ec) &&
           std::filesystem::read_symlink(path, ec) == kMemory && !ec;
}

} // namespace testsupport
