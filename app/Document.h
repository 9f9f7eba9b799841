#pragma once

// The document as one value: what New makes afresh and Open reads from a file. The main window
// holds exactly one and puts a new one in place whole (frmMain::ReplaceDocument), so nothing
// of the document before, not even a link between players beyond the new count, can survive.

#include "app/DataFile.h"
#include "app/Player.h"

#include "platform/files.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

struct Document {
    /// Element 0 is the central issue, 1..NumPlayer the players; the elements above are empty
    /// in a fresh value and never read.
    std::array<::Player, kPlayerLimit + 1> Player{};
    /// Highest used index: -1 no document, 0 only the central issue.
    int32_t NumPlayer = -1;
    /// Links[i][j]: strength in per cent of the link between players i and j; kept symmetric.
    LinkTable Links{};
    bool AveColour = false;
    /// An associated database belongs to the document.
    bool HasDB = false;
    bool FileChanged = false;
    /// Name of the document's file, "" while untitled.
    std::string InFileName;
    /// Full path of the file the document was opened from or last saved as.
    std::string InFilePath;
    /// How that file stood when the document was read from it or last written to it: Save
    /// asks before it replaces a file that another program has changed since.
    std::optional<platform::FileStamp> InFileStamp;
};

/// The document a data file holds, opened from the file named `name` at `path`, with nothing
/// unsaved.
Document DocumentFromFile(DataFileContents contents, std::string name, std::string path);
