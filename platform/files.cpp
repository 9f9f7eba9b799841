#include "platform/files.h"

#include "platform/internal/qt_util.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>

#include <unistd.h>

namespace platform {

using detail::qs;
using detail::ss;

namespace {

bool syncToDisk(int fd)
{
    if (fd < 0)
        return false;
    int result;
    do
        result = ::fsync(fd);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

} // namespace

File::File() : mPath(ss(QDir::homePath())) {}

File::File(std::string absolutePath) : mPath(std::move(absolutePath)) {}

std::optional<File> File::preferencesFolder()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (path.isEmpty() || !QDir().mkpath(path))
        return std::nullopt;
    return File(ss(QDir(path).absolutePath()));
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

bool File::isFolder() const
{
    return QFileInfo(qs(mPath)).isDir();
}

std::optional<std::string> File::readAll() const
{
    QFile f(qs(mPath));
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return std::nullopt;
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool File::writeAll(std::string_view bytes) const
{
    if (mPath.empty())
        return false;
    // Only a regular file is replaced: the rename would put a plain file in the place of a
    // folder, a device such as /dev/full, or a pipe.
    const QFileInfo existing(qs(mPath));
    if (existing.exists() && !existing.isFile())
        return false;
    // Unbuffered, so that a short write shows in write()'s result rather than in a flush that
    // commit() would not report.
    QSaveFile f(qs(mPath));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const qint64 size = static_cast<qint64>(bytes.size());
    // commit() ignores a failed sync, and a full disk may only show there: the bytes must be
    // on the file system before the new file takes the old one's place.
    if (f.write(bytes.data(), size) != size || !syncToDisk(f.handle())) {
        f.cancelWriting(); // the temporary file goes with `f`
        return false;
    }
    return f.commit();
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

} // namespace

std::string DecodeText(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    // Each byte that begins no valid sequence is a Latin-1 character of its own, so that one
    // stray byte leaves the UTF-8 around it as it is.
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        if (const size_t len = utf8SequenceLength(bytes, i)) {
            out.append(bytes.substr(i, len));
            i += len;
            continue;
        }
        const auto c = static_cast<unsigned char>(bytes[i++]);
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
    return out;
}

TextInputStream::TextInputStream(std::string_view bytes) : mText(DecodeText(bytes)) {}

std::string TextInputStream::readLine()
{
    if (mPos >= mText.size())
        return {};
    const size_t end = mText.find_first_of("\r\n", mPos);
    if (end == std::string::npos) {
        std::string line = mText.substr(mPos);
        mPos = mText.size();
        return line;
    }
    std::string line = mText.substr(mPos, end - mPos);
    mPos = end + 1;
    if (mText[end] == '\r' && mPos < mText.size() && mText[mPos] == '\n')
        ++mPos;
    return line;
}

std::string TextInputStream::readAll()
{
    std::string rest = mPos < mText.size() ? mText.substr(mPos) : std::string();
    mPos = mText.size();
    return rest;
}

void TextOutputStream::writeLine(std::string_view line)
{
    mBytes.append(line);
    mBytes.push_back('\n');
}

} // namespace platform
