#pragma once

// The data file: a line-oriented text of the program's own that holds one document. This is
// the format alone, text in and text out; moving the bytes to and from disk is the caller's.

#include "app/Player.h"

#include "platform/files.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

/// Link strengths in per cent, indexed 0..50 by 0..50 like the main window's `Links`.
using LinkTable = std::array<std::array<int32_t, kPlayerLimit + 1>, kPlayerLimit + 1>;

/// One document as the data file holds it.
struct DataFileContents {
    /// An associated database belongs to the document.
    bool HasDB = false;
    /// Highest used player index: -1 (no document) .. 50.
    int32_t NumPlayer = -1;
    /// Players 0..NumPlayer; element 0 is the central issue.
    std::vector<Player> players;
    /// Only rows and columns 1..NumPlayer are stored; the reader leaves every other cell 0.
    LinkTable Links{};
    bool AveColour = false;
    /// Set by the reader when the text ended before its last line, so that lines of the
    /// document, or the end of its last link row, were missing; the writer ignores it.
    bool EndedEarly = false;
    /// Set by the reader when text other than empty lines follows the last line, which the
    /// document does not hold; the writer ignores it.
    bool TextAfterEnd = false;
};

/// The longest first line that the reader looks at, in bytes: a longer one is no header of
/// ours, and is refused without reading the rest of it.
inline constexpr size_t kHeaderLineLimit = 4096;

/// What Save and Save As write for the given document state: players 0..NumPlayer of
/// `players` (as many of them as it holds) and the link table as it is.
DataFileContents MakeDataFileContents(bool HasDB, int32_t NumPlayer,
                                      std::span<const Player> players, const LinkTable& Links,
                                      bool AveColour);

/// The text of the data file for `contents`: UTF-8 with LF line ends. Each line break of a
/// key message (CR, LF or CRLF) is written as "^&*"; a line break in a name or subtitle, and a
/// tab in a subtitle or key message, is written as a space, so that no value can shift the
/// lines after it. Width and Height are written as the records hold them. Players missing
/// from `contents.players` are written as empty records; a count outside -1..50 is limited
/// to that range.
std::string WriteDataFile(const DataFileContents& contents);

/// What reading a data file from a stream gave: a whole document, or none and why.
struct DataFileRead {
    /// The document; nothing when the text is not a data file or reading it failed.
    std::optional<DataFileContents> contents;
    /// Reading the source failed, at once or part-way: then no document is given, however
    /// much of one had been read.
    bool readFailed = false;
};

/// Reads a data file from `in`, taking each line as it goes, and gives a whole document or
/// none: nothing when reading the source fails anywhere (`readFailed` says so) or the text is
/// not a data file: the first line is longer than kHeaderLineLimit or lacks "Varnholt Data"
/// (then nothing after that line is read), or the count is outside -1..50. The file's lines end
/// as its first line does (LF, CRLF or CR; see platform::TextInputStream), so that a lone line
/// break of another kind inside a line is that line's text: in a key message it is a line
/// break, and in a name or subtitle a space. The text is UTF-8, with each byte that is not
/// valid UTF-8 read as Windows-1252. A text that ends early is read as far as it goes, every
/// missing line counting as "", and `EndedEarly` tells so, also when only the last line
/// (`AveColour`) is missing: a cut inside the last link row leaves that line missing too. After the
/// last line the reader reads on only as far as the first text that is not an empty line, and
/// `TextAfterEnd` tells of it. Width, Height and the centre of every player come from the box-size
/// rule, not from the file; each line break and each
/// "^&*" of a key message becomes a carriage return.
DataFileRead ReadDataFile(platform::TextInputStream& in);
/// The same, from bytes in memory, which cannot fail to be read: the document, or nothing when
/// the text is not a data file.
std::optional<DataFileContents> ReadDataFile(std::string_view bytes);
