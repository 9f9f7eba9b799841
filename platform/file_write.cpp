// Writing a whole file: through a temporary file beside it that takes the old file's place only
// when complete, or in place where the folder lets no new file be made.

#include "platform/files.h"

#include "platform/internal/files_p.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace detail {

std::atomic<WriteFault>& writeFault()
{
    static std::atomic<WriteFault> fault{WriteFault::None};
    return fault;
}

} // namespace detail

namespace {

using detail::WriteFault;

bool faultAt(WriteFault step)
{
    return detail::writeFault().load(std::memory_order_relaxed) == step;
}

// Every byte, across short writes and interrupted calls. A disk that takes part of the bytes
// and then fails is a failure, whatever part made it.
bool writeFully(int fd, std::string_view bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        size_t want = bytes.size() - done;
        if (faultAt(WriteFault::ShortWrite)) {
            // Half of the bytes, then a full disk.
            if (done > 0) {
                errno = ENOSPC;
                return false;
            }
            want = want > 1 ? want / 2 : want;
        }
        const ssize_t n = ::write(fd, bytes.data() + done, want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// The bytes must be on the disk before the file counts as written: a full disk, or a device
// that fails, may only show here.
bool syncToDisk(int fd)
{
    if (faultAt(WriteFault::Sync)) {
        errno = EIO;
        return false;
    }
    int result;
    do
        result = ::fsync(fd);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

bool renameOver(const std::string& from, const std::string& to)
{
    if (faultAt(WriteFault::Rename)) {
        errno = EIO;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

// Closes the file and says whether the close, too, went well: some file systems report a
// failed write only here.
bool closeFile(int fd)
{
    return ::close(fd) == 0 || errno == EINTR;
}

// The folder may let this process write a file that it lets it neither make nor replace.
bool isRefusedByFolder(int error)
{
    return error == EACCES || error == EPERM;
}

// A new file beside `target`, made for this write alone, with the permissions it is created
// with. The name is `target` with a random ending; -1 with errno when none can be made.
int makeTemporary(const std::string& target, mode_t mode, std::string& path)
{
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = target + ".";
        for (int i = 0; i < 6; ++i)
            path += kLetters[pick(random)];
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

enum class Outcome { Written, Failed, FolderRefused };

// The temporary file takes the old file's owner, group and permissions before it takes its
// place. Giving a file away takes root, so another user's file becomes this user's; its group
// is kept where this user belongs to it, and its permissions always.
void takeOwnerAndMode(int fd, const struct stat& old)
{
    if (::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    // After the owner: a change of owner clears the set-user-ID bit.
    (void)::fchmod(fd, old.st_mode & 07777);
}

Outcome writeThroughTemporary(const std::string& target, const struct stat* old,
                              std::string_view bytes)
{
    std::string temporary;
    // Private until it is complete when it replaces a file; a new file gets what the process's
    // file-creation mask allows, as any file it creates.
    const int fd = makeTemporary(target, old ? 0600 : 0666, temporary);
    if (fd < 0)
        return isRefusedByFolder(errno) ? Outcome::FolderRefused : Outcome::Failed;
    bool written = writeFully(fd, bytes) && syncToDisk(fd);
    if (written && old)
        takeOwnerAndMode(fd, *old);
    written = closeFile(fd) && written;
    if (written && renameOver(temporary, target))
        return Outcome::Written;
    const int error = errno;
    ::unlink(temporary.c_str());
    // A sticky folder (a shared one such as /tmp) lets nobody but a file's owner replace it,
    // even where it lets others write it.
    return written && isRefusedByFolder(error) ? Outcome::FolderRefused : Outcome::Failed;
}

// Writing the file itself gives up what the temporary file gives: a write that fails part-way
// (a full disk, the file-size limit, a crash) leaves the file cut short, its old content lost.
// It is the only way left where the folder lets this user write the file but not make a file
// beside it or replace it, and it keeps the file's owner, group and permissions by itself.
bool writeInPlace(const std::string& target, std::string_view bytes)
{
    // An existing file only: one that the folder lets nobody make here is not made either.
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    const bool written = writeFully(fd, bytes) && syncToDisk(fd);
    return closeFile(fd) && written;
}

} // namespace

bool File::writeAll(std::string_view bytes) const
{
    if (mPath.empty())
        return false;
    struct stat old {};
    const bool exists = ::stat(mPath.c_str(), &old) == 0;
    // Only a regular file is replaced: the rename would put a plain file in the place of a
    // folder, a device such as /dev/full, or a pipe.
    if (exists && !S_ISREG(old.st_mode))
        return false;
    // A link to a file writes that file and stays a link.
    std::string target = mPath;
    if (exists) {
        char resolved[PATH_MAX];
        if (!::realpath(mPath.c_str(), resolved))
            return false;
        target = resolved;
    }
    switch (writeThroughTemporary(target, exists ? &old : nullptr, bytes)) {
    case Outcome::Written:
        return true;
    case Outcome::Failed:
        return false;
    case Outcome::FolderRefused:
        break;
    }
    return exists && writeInPlace(target, bytes);
}

} // namespace platform
