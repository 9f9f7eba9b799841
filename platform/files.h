#pragma once

// Files and folders, and the text streams the program reads and writes them with.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

/// Which file a name stands for and how it stood at one moment: another program that replaced
/// the file, or wrote it, changes its stamp.
struct FileStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t modifiedSeconds = 0;
    int64_t modifiedNanoseconds = 0;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

/// A file or folder by its absolute path, whether or not it exists.
class File {
public:
    /// The default location: the user's home folder.
    File();
    explicit File(std::string absolutePath);

    /// The user's configuration folder, created when it is missing: $XDG_CONFIG_HOME, or
    /// .config in the home folder. Nothing when neither names a folder by its absolute path
    /// (no home: HOME unset), or it cannot be made.
    static std::optional<File> preferencesFolder();
    /// The file named `name` in the user's configuration folder, whether or not it exists;
    /// nothing when there is no such folder.
    static std::optional<File> preferencesFile(std::string_view name);

    /// The item named `name` inside this folder, whether or not it exists.
    File child(std::string_view name) const;
    File parent() const;

    /// The name with its extension, without its folder.
    std::string name() const;
    const std::string& absolutePath() const { return mPath; }
    bool exists() const;
    bool isFolder() const;

    /// The whole content; nothing when the file cannot be read, is not a regular file, or
    /// holds more than `limit` bytes (then no more than `limit` + 1 of them are read). A pipe,
    /// a device or a socket is refused at once, without waiting for a writer and without
    /// reading from it.
    std::optional<std::string> readAll(size_t limit = SIZE_MAX) const;
    /// Writes the whole content to a temporary file beside this one and puts it in place only
    /// when every byte was written and synced to the file system, so that a failure (a full
    /// disk, the file-size limit) leaves the old file byte for byte as it was and no temporary
    /// file behind. The temporary file's name is short, so that a file of any name the system
    /// allows can be written. The file keeps its owner, group and permissions where this
    /// process may give them (only root may give a file to another user), and a symbolic link
    /// stays a link to the file it names, which is made when it does not exist yet; a loop of
    /// links is refused. Only a regular file is replaced: a folder, a device or a pipe is
    /// refused, and so is a file that this user may not write (one they made read-only), even
    /// where the folder would let it be replaced. A file with more than one name (a hard link)
    /// is written in place, as below, so that every name shows the new content.
    ///
    /// Where the folder lets this user write the file but neither make a file beside it nor
    /// replace it (a folder of someone else's, a shared sticky folder), the file itself is
    /// rewritten: its new size is reserved first, and its old bytes are kept and put back when
    /// a write or the sync fails, so that a failure still leaves it as it was. Only a process
    /// killed, or a machine stopped, in the middle of that rewrite leaves the file part new
    /// and part old. Returns false on any failure.
    [[nodiscard]] bool writeAll(std::string_view bytes) const;

    /// What tells this file's content on the disk apart from another: which file the name
    /// stands for, its size and when it was last written. Nothing when it does not exist.
    std::optional<struct FileStamp> stamp() const;

    friend bool operator==(const File&, const File&) = default;

private:
    std::string mPath;
};

/// Where a text stream takes its bytes from as it goes. A stream opened on a file reads it
/// through one of its own; a test may hand a stream another.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    /// Reads up to `size` bytes into `into`: how many it read, 0 at the end, -1 when reading
    /// failed.
    virtual ptrdiff_t read(char* into, size_t size) = 0;
};

/// Reads text line by line, from bytes in memory or from a source as it goes: a source is
/// taken in chunks, so that beside the lines handed out the stream holds no more than one
/// chunk. The text's lines end as its first line ends (LF, CRLF or a lone CR): a CRLF always
/// ends a line, a lone CR only in a text whose first line ended so, and a lone LF likewise;
/// a lone CR or LF of the other kind is part of its line's text. A UTF-8 byte-order mark at
/// the start is skipped; bytes that are not valid UTF-8 are read as Windows-1252 (see
/// DecodeText), exactly as if the whole text had been decoded at once.
class TextInputStream {
public:
    /// How many bytes a source is read by at a time.
    static constexpr size_t kChunkSize = 64 * 1024;

    explicit TextInputStream(std::string_view bytes);
    explicit TextInputStream(std::unique_ptr<ByteSource> source);
    /// Opens `file` for reading. Nothing when it cannot be opened or is not a regular file: a
    /// folder, a pipe, a device or a socket is refused at once, without waiting for a writer
    /// and before a byte of it is read.
    static std::optional<TextInputStream> open(const File& file);

    TextInputStream(TextInputStream&& other) noexcept;
    TextInputStream& operator=(TextInputStream&& other) noexcept;
    TextInputStream(const TextInputStream&) = delete;
    TextInputStream& operator=(const TextInputStream&) = delete;
    ~TextInputStream();

    /// The next line without its end; "" once the text is used up.
    std::string readLine();
    /// The next line when it holds at most `limit` bytes; nothing when it is longer, and then
    /// at most `limit` + kChunkSize bytes of it were read and the stream stops inside it.
    std::optional<std::string> readLine(size_t limit);
    /// The rest of the text as it stands, line ends included.
    std::string readAll();
    /// Reads on past CRs and LFs, of whatever kind the lines end with, until other text or the
    /// end.
    void skipEmptyLines();
    bool atEnd();
    /// Reading the source failed part-way; what came before the failure reads as the whole
    /// text.
    bool failed() const { return mFailed; }
    /// How many bytes have been taken from the source (or the bytes given) so far.
    uint64_t bytesRead() const { return mBytesRead; }

private:
    /// How the text's lines end; known once the first line has ended.
    enum class LineEnd : uint8_t { Unknown, LF, CR, CRLF };

    void start();
    bool fill();
    std::optional<std::string> nextLine(size_t limit);

    std::unique_ptr<ByteSource> mSource;
    std::string mBuffer; ///< bytes read and not yet handed out start at mPos
    size_t mPos = 0;
    bool mSourceDone = false;
    bool mStarted = false;
    bool mFailed = false;
    LineEnd mLineEnd = LineEnd::Unknown;
    uint64_t mBytesRead = 0;
};

/// Collects text for a file: UTF-8 with LF line ends.
class TextOutputStream {
public:
    void writeLine(std::string_view line);
    const std::string& bytes() const { return mBytes; }

private:
    std::string mBytes;
};

/// A text as UTF-8: a byte-order mark removed; valid UTF-8 kept as it is, and each byte that
/// begins no valid UTF-8 sequence read as the Windows-1252 character it is (0x80 to 0x9F as
/// Windows-1252's typographic characters, its five undefined bytes and 0xA0 to 0xFF as
/// Latin-1).
std::string DecodeText(std::string_view bytes);

} // namespace platform
