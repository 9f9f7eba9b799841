#include "platform/files.h"

#include "platform/internal/qt_util.h"
#include "platform/internal/services_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

using detail::qs;
using detail::ss;

namespace {

// A descriptor for reading the regular file at `path`, or -1. The path is looked at before it
// is opened, so that a device is never opened at all; the descriptor is looked at again, since
// the path may name something else by then. O_NONBLOCK keeps the open of a pipe from waiting
// for a writer.
int openRegularFile(const std::string& path)
{
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    int fd;
    do
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads up to `size` bytes; the count read, 0 at the end, -1 on failure.
ssize_t readSome(int fd, char* into, size_t size)
{
    ssize_t n;
    do
        n = detail::services().read(fd, into, size);
    while (n < 0 && errno == EINTR);
    return n;
}

} // namespace

File::File() : mPath(ss(QDir::homePath())) {}

File::File(std::string absolutePath) : mPath(std::move(absolutePath)) {}

std::optional<File> File::preferencesFolder()
{
    // The folder the XDG base directories name. Without a home the toolkit would take the root
    // folder for one, and make "/.config" there.
    QString path = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(path)) {
        const QString home = qEnvironmentVariable("HOME");
        if (!QDir::isAbsolutePath(home))
            return std::nullopt;
        path = home + QStringLiteral("/.config");
    }
    if (!QDir().mkpath(path))
        return std::nullopt;
    return File(ss(QDir::cleanPath(path)));
}

std::optional<File> File::preferencesFile(std::string_view name)
{
    if (const std::optional<File> folder = preferencesFolder())
        return folder->child(name);
    return std::nullopt;
}

File File::child(std::string_view name) const
{
    return File(ss(QDir(qs(mPath)).filePath(qs(name))));
}

File File::parent() const
{
    return File(ss(QFileInfo(qs(mPath)).absolutePath()));
}

std::string File::name() const
{
    return ss(QFileInfo(qs(mPath)).fileName());
}

bool File::exists() const
{
    return !mPath.empty() && QFileInfo::exists(qs(mPath));
}

std::optional<FileStamp> File::stamp() const
{
    struct stat st {};
    if (mPath.empty() || ::stat(mPath.c_str(), &st) != 0)
        return std::nullopt;
    FileStamp s;
    s.device = static_cast<uint64_t>(st.st_dev);
    s.inode = static_cast<uint64_t>(st.st_ino);
    s.size = static_cast<uint64_t>(st.st_size);
    s.modifiedSeconds = static_cast<int64_t>(st.st_mtim.tv_sec);
    s.modifiedNanoseconds = static_cast<int64_t>(st.st_mtim.tv_nsec);
    return s;
}

bool File::isFolder() const
{
    return QFileInfo(qs(mPath)).isDir();
}

std::optional<std::string> File::readAll(size_t limit) const
{
    const int fd = openRegularFile(mPath);
    if (fd < 0)
        return std::nullopt;
    std::string bytes;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
        // A file that says it is larger than the limit is not read at all.
        if (static_cast<uint64_t>(st.st_size) > limit) {
            detail::services().close(fd);
            return std::nullopt;
        }
        bytes.reserve(static_cast<size_t>(st.st_size) + TextInputStream::kChunkSize);
    }
    // One byte past the limit tells a file that grew, or that tells no size, from one that fits.
    const size_t most = limit == SIZE_MAX ? limit : limit + 1;
    for (;;) {
        const size_t have = bytes.size();
        const size_t want = std::min(TextInputStream::kChunkSize, most - have);
        bytes.resize(have + want);
        const ssize_t n = want > 0 ? readSome(fd, bytes.data() + have, want) : 0;
        bytes.resize(have + static_cast<size_t>(n > 0 ? n : 0));
        if (n <= 0 || bytes.size() > limit) {
            detail::services().close(fd);
            if (n < 0 || bytes.size() > limit)
                return std::nullopt;
            return bytes;
        }
    }
}

namespace {

// Length of the valid UTF-8 sequence starting at s[i], or 0 when it is not valid.
size_t utf8SequenceLength(std::string_view s, size_t i)
{
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80)
        return 1;
    size_t len;
    uint32_t cp;
    if ((c & 0xE0) == 0xC0) {
        len = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size())
        return 0;
    for (size_t k = 1; k < len; ++k) {
        const auto cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (cc & 0x3F);
    }
    static constexpr uint32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

// The character a byte stands for in Windows-1252, the usual single-byte encoding of text
// editors: Latin-1 but for 0x80 to 0x9F, which hold typographic characters instead of control
// characters. The five bytes that Windows-1252 leaves undefined stay Latin-1.
char32_t windows1252(unsigned char c)
{
    static constexpr char16_t k80to9F[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return c >= 0x80 && c <= 0x9F ? k80to9F[c - 0x80] : c;
}

// Appends a character of the Basic Multilingual Plane as UTF-8.
void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

} // namespace

std::string DecodeText(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    // Each byte that begins no valid sequence is a Windows-1252 character of its own, so that
    // one stray byte leaves the UTF-8 around it as it is.
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        if (const size_t len = utf8SequenceLength(bytes, i)) {
            out.append(bytes.substr(i, len));
            i += len;
            continue;
        }
        appendUtf8(out, windows1252(static_cast<unsigned char>(bytes[i++])));
    }
    return out;
}

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Where the last whole UTF-8 sequence of bytes[from, end) ends: a sequence that begins there
// but needs bytes beyond `end` is held back, so that the next chunk decodes it whole.
size_t endOfWholeSequences(std::string_view bytes, size_t from, size_t end)
{
    for (size_t k = end >= from + 3 ? end - 3 : from; k < end; ++k) {
        const auto c = static_cast<unsigned char>(bytes[k]);
        const size_t len = (c & 0xE0) == 0xC0   ? 2
                           : (c & 0xF0) == 0xE0 ? 3
                           : (c & 0xF8) == 0xF0 ? 4
                                                : 0;
        if (len > 0 && k + len > end)
            return k;
    }
    return end;
}

// Appends `piece` decoded, keeping any byte-order mark in it: only the one at the very start
// of a text is dropped, and the stream has done that.
void appendDecoded(std::string& out, std::string_view piece)
{
    while (piece.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        out.append(kByteOrderMark);
        piece.remove_prefix(kByteOrderMark.size());
    }
    if (out.empty())
        out = DecodeText(piece);
    else
        out += DecodeText(piece);
}

} // namespace

namespace {

// A regular file, read from where it was opened to its end.
class FileSource : public ByteSource {
public:
    explicit FileSource(int fd) : mFd(fd) {}
    ~FileSource() override { detail::services().close(mFd); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    ptrdiff_t read(char* into, size_t size) override { return readSome(mFd, into, size); }

private:
    int mFd;
};

} // namespace

TextInputStream::TextInputStream(std::string_view bytes)
    : mBuffer(bytes), mSourceDone(true), mBytesRead(bytes.size())
{
}

TextInputStream::TextInputStream(std::unique_ptr<ByteSource> source)
    : mSource(std::move(source)), mSourceDone(!mSource)
{
}

std::optional<TextInputStream> TextInputStream::open(const File& file)
{
    const int fd = openRegularFile(file.absolutePath());
    if (fd < 0)
        return std::nullopt;
    return TextInputStream(std::make_unique<FileSource>(fd));
}

TextInputStream::TextInputStream(TextInputStream&& other) noexcept
    : mSource(std::move(other.mSource)), mBuffer(std::move(other.mBuffer)),
      mPos(std::exchange(other.mPos, 0)), mSourceDone(std::exchange(other.mSourceDone, true)),
      mStarted(other.mStarted), mFailed(other.mFailed), mLineEnd(other.mLineEnd),
      mBytesRead(other.mBytesRead)
{
}

TextInputStream& TextInputStream::operator=(TextInputStream&& other) noexcept
{
    if (this != &other) {
        mSource = std::move(other.mSource);
        mBuffer = std::move(other.mBuffer);
        mPos = std::exchange(other.mPos, 0);
        mSourceDone = std::exchange(other.mSourceDone, true);
        mStarted = other.mStarted;
        mFailed = other.mFailed;
        mLineEnd = other.mLineEnd;
        mBytesRead = other.mBytesRead;
    }
    return *this;
}

TextInputStream::~TextInputStream() = default;

// Drops what was handed out and reads the next chunk after what is left; false once the
// source has nothing more to give.
bool TextInputStream::fill()
{
    if (mSourceDone)
        return false;
    mBuffer.erase(0, mPos);
    mPos = 0;
    const size_t have = mBuffer.size();
    mBuffer.resize(have + kChunkSize);
    const ptrdiff_t n = mSource->read(mBuffer.data() + have, kChunkSize);
    mBuffer.resize(have + static_cast<size_t>(n > 0 ? n : 0));
    if (n > 0) {
        mBytesRead += static_cast<uint64_t>(n);
        return true;
    }
    mFailed = n < 0;
    mSourceDone = true;
    mSource.reset();
    return false;
}

void TextInputStream::start()
{
    if (mStarted)
        return;
    mStarted = true;
    while (mBuffer.size() - mPos < kByteOrderMark.size() && fill()) {
    }
    if (std::string_view(mBuffer).substr(mPos, kByteOrderMark.size()) == kByteOrderMark)
        mPos += kByteOrderMark.size();
}

std::optional<std::string> TextInputStream::nextLine(size_t limit)
{
    start();
    std::string line;
    size_t length = 0; // bytes of the line taken so far
    for (;;) {
        const std::string_view buffer(mBuffer);
        // Where the line ends, and how many bytes its end takes: 0 while none is in the buffer.
        size_t end = mPos;
        size_t endLength = 0;
        // A CR as the last byte of what was read so far: the next chunk tells whether an LF
        // follows it.
        bool crAtSeam = false;
        for (;; ++end) {
            end = buffer.find_first_of("\r\n", end);
            if (end == std::string_view::npos)
                break;
            if (buffer[end] == '\r' && end + 1 == buffer.size() && !mSourceDone) {
                crAtSeam = true;
                break;
            }
            if (buffer[end] == '\r' && end + 1 < buffer.size() && buffer[end + 1] == '\n') {
                endLength = 2;
                if (mLineEnd == LineEnd::Unknown)
                    mLineEnd = LineEnd::CRLF;
                break;
            }
            const LineEnd lone = buffer[end] == '\r' ? LineEnd::CR : LineEnd::LF;
            if (mLineEnd == LineEnd::Unknown)
                mLineEnd = lone;
            if (mLineEnd == lone) {
                endLength = 1;
                break;
            }
            // A lone break of the other kind: text of this line.
        }
        if (endLength > 0) {
            length += end - mPos;
            if (length > limit)
                return std::nullopt;
            appendDecoded(line, buffer.substr(mPos, end - mPos));
            mPos = end + endLength;
            return line;
        }
        // No line end yet: decode what is whole, then read on.
        const size_t stop = crAtSeam      ? end
                            : mSourceDone ? buffer.size()
                                          : endOfWholeSequences(buffer, mPos, buffer.size());
        length += stop - mPos;
        if (length > limit)
            return std::nullopt;
        appendDecoded(line, buffer.substr(mPos, stop - mPos));
        mPos = stop;
        if (mSourceDone)
            return line;
        // At the end of the source the loop goes round once more, to take what is left.
        fill();
    }
}

std::string TextInputStream::readLine()
{
    return nextLine(std::string::npos).value_or(std::string());
}

std::optional<std::string> TextInputStream::readLine(size_t limit)
{
    return nextLine(limit);
}

std::string TextInputStream::readAll()
{
    start();
    std::string rest;
    for (;;) {
        const std::string_view buffer(mBuffer);
        const size_t stop =
            mSourceDone ? buffer.size() : endOfWholeSequences(buffer, mPos, buffer.size());
        appendDecoded(rest, buffer.substr(mPos, stop - mPos));
        mPos = stop;
        if (!fill()) {
            appendDecoded(rest, std::string_view(mBuffer).substr(mPos));
            mPos = mBuffer.size();
            return rest;
        }
    }
}

void TextInputStream::skipEmptyLines()
{
    start();
    for (;;) {
        while (mPos < mBuffer.size() && (mBuffer[mPos] == '\r' || mBuffer[mPos] == '\n'))
            ++mPos;
        if (mPos < mBuffer.size() || !fill())
            return;
    }
}

bool TextInputStream::atEnd()
{
    start();
    return mPos >= mBuffer.size() && !fill();
}

void TextOutputStream::writeLine(std::string_view line)
{
    mBytes.append(line);
    mBytes.push_back('\n');
}

} // namespace platform
