// Writing a whole file: through a temporary file beside it that takes the old file's place only
// when complete, or in place, keeping the old bytes to put back, where the folder lets no new
// file be made.

#include "platform/files.h"

#include "platform/internal/services_p.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

using detail::services;

// Every byte at `offset`, across short writes and interrupted calls. A disk that takes part of
// the bytes and then fails is a failure, whatever part made it.
bool writeFully(int fd, std::string_view bytes, off_t offset)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = services().pwrite(fd, bytes.data() + done, bytes.size() - done,
                                            offset + static_cast<off_t>(done));
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
    int result;
    do
        result = services().fsync(fd);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

bool renameOver(int folder, const std::string& from, const std::string& to)
{
    return services().renameat(folder, from.c_str(), to.c_str()) == 0;
}

// Closes the file and says whether the close, too, went well: some file systems report a
// failed write only here.
bool closeFile(int fd)
{
    return services().close(fd) == 0 || errno == EINTR;
}

// The folder may let this process write a file that it lets it neither make nor replace.
bool isRefusedByFolder(int error)
{
    return error == EACCES || error == EPERM;
}

// A new file in the folder open as `folder`, made for this write alone, with the permissions
// it is created with. Its name is short and fixed in length, so that it fits wherever the
// file it stands in for does, however long that one's name; -1 with errno when none can be
// made.
int makeTemporary(int folder, mode_t mode, std::string& name)
{
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = ".kestrix-";
        for (int i = 0; i < 6; ++i)
            name += kLetters[pick(random)];
        const int fd =
            ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
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

// A path's folder and its last name; the folder of a bare name is the current one.
std::pair<std::string, std::string> splitPath(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1)};
}

// The temporary file and the rename go through the folder itself, by the file's name within
// it, so that only the names count against the system's limits, not the length of the path.
Outcome writeThroughTemporary(const std::string& target, const struct stat* old,
                              std::string_view bytes)
{
    const auto [folderPath, name] = splitPath(target);
    const int folder = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return Outcome::Failed;
    std::string temporary;
    // Private until it is complete when it replaces a file; a new file gets what the process's
    // file-creation mask allows, as any file it creates.
    const int fd = makeTemporary(folder, old ? 0600 : 0666, temporary);
    if (fd < 0) {
        const int error = errno;
        (void)::close(folder);
        return isRefusedByFolder(error) ? Outcome::FolderRefused : Outcome::Failed;
    }
    bool written = writeFully(fd, bytes, 0) && syncToDisk(fd);
    if (written && old)
        takeOwnerAndMode(fd, *old);
    written = closeFile(fd) && written;
    if (written && renameOver(folder, temporary, name)) {
        // The new name must last too: a machine that stops now keeps the new file.
        (void)::fsync(folder);
        (void)::close(folder);
        return Outcome::Written;
    }
    const int error = errno;
    ::unlinkat(folder, temporary.c_str(), 0);
    (void)::close(folder);
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
        const ssize_t n =
            services().pread(fd, chunk, sizeof chunk, static_cast<off_t>(bytes.size()));
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
    (void)writeFully(fd, old.substr(0, overwritten), 0);
    if (cut)
        (void)writeFully(fd, old.substr(overwritten), static_cast<off_t>(overwritten));
    if (newSize > old.size())
        (void)resize(fd, old.size());
    (void)syncToDisk(fd);
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

namespace {

// The file that a path names for writing: the path itself, or the file its symbolic links lead
// to, followed link by link, so that a link to a file not yet made names where that file will
// be. Nothing, with errno, for a loop of links or a link that cannot be read.
std::optional<std::string> followLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0)
            return errno == ENOENT ? std::optional<std::string>(path) : std::nullopt;
        if (!S_ISLNK(st.st_mode))
            return path;
        std::string to(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), to.data(), to.size());
        if (n <= 0 || static_cast<size_t>(n) >= to.size()) {
            errno = n < 0 ? errno : ENAMETOOLONG;
            return std::nullopt;
        }
        to.resize(static_cast<size_t>(n));
        path = to.front() == '/' ? to : splitPath(path).first + "/" + to;
    }
    errno = ELOOP;
    return std::nullopt;
}

} // namespace

bool File::writeAll(std::string_view bytes) const
{
    if (mPath.empty())
        return false;
    // A link writes the file it leads to, also one it names that is not made yet, and stays a
    // link.
    const std::optional<std::string> target = followLinks(mPath);
    if (!target)
        return false;
    struct stat old {};
    const bool exists = ::stat(target->c_str(), &old) == 0;
    // Only a regular file is replaced: the rename would put a plain file in the place of a
    // folder, a device such as /dev/full, or a pipe.
    if (exists && !S_ISREG(old.st_mode))
        return false;
    // A file the user may not write is theirs to guard: replacing it needs only the folder's
    // leave, which is not the file's.
    if (exists && ::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0)
        return false;
    // Every name of a file with more than one must show what was written: it is written in
    // place.
    if (exists && old.st_nlink > 1)
        return writeInPlace(*target, bytes);
    switch (writeThroughTemporary(*target, exists ? &old : nullptr, bytes)) {
    case Outcome::Written:
        return true;
    case Outcome::Failed:
        return false;
    case Outcome::FolderRefused:
        break;
    }
    return exists && writeInPlace(*target, bytes);
}

} // namespace platform
