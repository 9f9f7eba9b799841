// Writing a whole file: through a temporary file beside it that takes the old file's place only
// when complete, or in place, keeping the old bytes to put back, where the folder lets no new
// file be made.

#include "platform/files.h"

#include "platform/internal/files_p.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>
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

// Every byte at `offset`, across short writes and interrupted calls. A disk that takes part of
// the bytes and then fails is a failure, whatever part made it. The write of a file's new
// content is where a test's short-write fault strikes; putting old bytes back never is.
enum class Bytes { Content, OldContent };

bool writeFully(int fd, std::string_view bytes, off_t offset, Bytes which = Bytes::Content)
{
    size_t done = 0;
    while (done < bytes.size()) {
        size_t want = bytes.size() - done;
        if (which == Bytes::Content && faultAt(WriteFault::ShortWrite)) {
            // Half of the bytes, then a full disk.
            if (done > 0) {
                errno = ENOSPC;
                return false;
            }
            want = want > 1 ? want / 2 : want;
        }
        const ssize_t n =
            ::pwrite(fd, bytes.data() + done, want, offset + static_cast<off_t>(done));
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
bool syncToDisk(int fd, Bytes which = Bytes::Content)
{
    if (which == Bytes::Content && faultAt(WriteFault::Sync)) {
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
    bool written = writeFully(fd, bytes, 0) && syncToDisk(fd);
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

// The whole content of an open file, read from its start; nothing when a read fails or the
// file is larger than `limit`.
std::optional<std::string> readWhole(int fd, size_t limit)
{
    std::string bytes;
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t n = ::pread(fd, chunk, sizeof chunk, static_cast<off_t>(bytes.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            return bytes;
        if (bytes.size() + static_cast<size_t>(n) > limit) {
            errno = EFBIG;
            return std::nullopt;
        }
        bytes.append(chunk, static_cast<size_t>(n));
    }
}

bool resize(int fd, size_t size)
{
    int result;
    do
        result = ::ftruncate(fd, static_cast<off_t>(size));
    while (result != 0 && errno == EINTR);
    return result == 0;
}

// The disk space for `size` bytes, taken before a byte of the file changes: a full disk or the
// file-size limit then refuses the write up front. A file system that cannot reserve space
// ahead (the emulation may write zeros past the old end) is given its old length back.
bool reserve(int fd, size_t size, size_t oldSize)
{
    if (size == 0)
        return true;
    const int error = ::posix_fallocate(fd, 0, static_cast<off_t>(size));
    if (error == 0)
        return true;
    (void)resize(fd, oldSize);
    errno = error;
    return false;
}

// Puts the old bytes back over a write in place that failed: the part that the new content
// may have overwritten, the old length, and the tail that cutting the file to the new length
// took away. Each step is tried whatever the one before it did, so that as much of the old
// file comes back as the disk lets; bytes past the new content were never touched unless the
// file was cut.
void putBack(int fd, std::string_view old, size_t newSize, bool cut)
{
    const size_t overwritten = std::min(old.size(), newSize);
    (void)writeFully(fd, old.substr(0, overwritten), 0, Bytes::OldContent);
    if (cut)
        (void)writeFully(fd, old.substr(overwritten), static_cast<off_t>(overwritten),
                         Bytes::OldContent);
    if (newSize > old.size())
        (void)resize(fd, old.size());
    (void)syncToDisk(fd, Bytes::OldContent);
}

/// The most of an old file that a write in place keeps in memory to put back.
constexpr size_t kMostKeptInPlace = 256u * 1024 * 1024;

// Writing the file itself, where the folder lets this user write the file but not make a file
// beside it or replace it. It keeps the file's owner, group and permissions by itself. The new
// size is reserved first, and the old bytes are kept in memory and written back when a later
// write, the new length or the sync fails, so that a failure the program sees leaves the old
// file as it was. What it still gives up beside the temporary file: a process killed, or a
// machine that stops, in the middle of it leaves the file part new and part old; and an old
// file that cannot be read, or is too large to keep, is not written at all.
bool writeInPlace(const std::string& target, std::string_view bytes)
{
    // An existing file only: one that the folder lets nobody make here is not made either.
    const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        (void)closeFile(fd);
        return false;
    }
    const std::optional<std::string> old = readWhole(fd, kMostKeptInPlace);
    if (!old || !reserve(fd, bytes.size(), old->size())) {
        (void)closeFile(fd);
        return false;
    }
    // The old length goes only once every new byte is in: until then the tail beyond the new
    // content is still the old file's own.
    const bool shorter = bytes.size() < old->size();
    bool cut = false;
    const bool written = writeFully(fd, bytes, 0) &&
                         (!shorter || (cut = resize(fd, bytes.size()))) && syncToDisk(fd);
    if (!written) {
        const int error = errno;
        putBack(fd, *old, bytes.size(), cut);
        (void)closeFile(fd);
        errno = error;
        return false;
    }
    return closeFile(fd);
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
