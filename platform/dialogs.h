#pragma once

// Modal dialogs: message boxes, the three-button question and the open and save dialogs.
// All of them can be answered by a test (see platform/testing.h).

#include "platform/files.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

/// A file type that open and save dialogs filter by, declared once at start-up. Extensions are
/// separated by ";" (".pict;.pic;.pct"); a type without extensions filters nothing out. The
/// dialogs show the description, the words a person reads ("PICT pictures"), with the type's
/// patterns; a type without one shows its name.
struct FileType {
    std::string name;
    std::string extensions;
    std::string description;
};
void declareFileType(const FileType& type);
const FileType* fileType(std::string_view name);

/// A modal message with one button, titled with the program's name (Application::name).
void MsgBox(std::string_view message);

/// A question with up to three buttons.
class MessageDialog {
public:
    enum class Result { Action, Alternate, Cancel };
    struct Button {
        std::string caption;
        bool visible = true;
    };

    int icon = 0;
    std::string title;
    std::string message;
    std::string explanation;
    Button actionButton{"OK", true}; ///< the default button
    Button alternateActionButton{"Don't Save", false};
    Button cancelButton{"Cancel", true};
    /// The button that Return presses: the action button unless a question makes its safe
    /// answer the default.
    Result defaultAnswer = Result::Action;

    /// Shows the question and returns the button that was pressed; Cancel also when the
    /// dialog was dismissed without a button.
    Result showModal();
};

/// The open dialog, showing files of the named type, starting at `start` (a folder, or a file
/// whose folder is used). Nothing when cancelled.
std::optional<File> OpenDialog(std::string_view fileTypeName, const File& start);
/// The save dialog for a file of the named type with a default name. A name typed without an
/// extension gets the type's first extension (".dat" for "text/data"); a type without
/// extensions adds none. Nothing when cancelled.
std::optional<File> GetSaveFolderItem(std::string_view fileTypeName, std::string_view defaultName,
                                      const std::optional<File>& startFolder = std::nullopt);
/// The same, offering files of each named type, the first selected at the start: a name typed
/// without an extension gets the first extension of the type selected when it is confirmed.
std::optional<File> GetSaveFolderItem(const std::vector<std::string>& fileTypeNames,
                                      std::string_view defaultName,
                                      const std::optional<File>& startFolder = std::nullopt);

} // namespace platform
