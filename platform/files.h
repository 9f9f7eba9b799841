#pragma once

// Files and folders, and the text streams the program reads and writes them with.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

/// A file or folder by its absolute path, whether or not it exists.
class File {
public:
    /// The default location: the user's home folder.
    File();
    explicit File(std::string absolutePath);

    /// The user's configuration folder, created when it is missing.
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

    /// The whole content; nothing when the file cannot be read.
    std::optional<std::string> readAll() const;
    /// Writes the whole content to a temporary file beside this one and puts it in place only
    /// when every byte was written and synced to the file system, so that a failure (a full
    /// disk, the file-size limit) leaves the old file byte for byte as it was and no temporary
    /// file behind. Only a regular file is replaced: a folder, a device or a pipe is refused.
    /// Returns false on any failure.
    bool writeAll(std::string_view bytes) const;

    friend bool operator==(const File&, const File&) = default;

private:
    std::string mPath;
};

/// Reads text line by line. Line ends may be LF, CRLF or a lone CR; a UTF-8 byte-order mark
/// is skipped; bytes that are not valid UTF-8 are read as Latin-1 (see DecodeText).
class TextInputStream {
public:
    explicit TextInputStream(std::string_view bytes);

    /// The next line without its end; "" once the text is used up.
    std::string readLine();
    /// The rest of the text as it stands, line ends included.
    std::string readAll();
    bool atEnd() const { return mPos >= mText.size(); }

private:
    std::string mText;
    size_t mPos = 0;
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
/// begins no valid UTF-8 sequence read as the Latin-1 character it is.
std::string DecodeText(std::string_view bytes);

} // namespace platform
