#include "app/ExportFiles.h"

#include "app/FileTypes.h"
#include "app/Messages.h"
#include "app/frmMain.h"

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/pict.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

namespace {

// The fields as one line of the export: joined by tabs, each with the characters that would
// end its column or its line written as spaces.
std::string exportLine(const std::vector<std::string>& fields)
{
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line.push_back('\t');
        for (const char c : fields[i])
            line.push_back(c == '\t' || c == '\r' || c == '\n' ? ' ' : c);
    }
    return line;
}

// Where a save dialog starts: the document's folder once the document has a file; before
// that the dialog's own choice, the home folder.
std::optional<platform::File> documentFolder()
{
    const frmMain& m = frmMain::instance();
    if (m.InFilePath.empty())
        return std::nullopt;
    return platform::File(m.InFilePath).parent();
}

} // namespace

void ExportPlayers(const std::function<std::vector<std::string>(const Player&)>& fields)
{
    const std::optional<platform::File> f =
        platform::GetSaveFolderItem(FileTypes::SpecialAny, "Export.dat", documentFolder());
    if (!f)
        return;
    const frmMain& m = frmMain::instance();
    platform::TextOutputStream out;
    for (int32_t i = 0; i <= m.NumPlayer; ++i)
        out.writeLine(exportLine(fields(m.Player[i])));
    if (!f->writeAll(out.bytes()))
        platform::MsgBox(Messages::ProblemCreatingFile);
}

bool IsPngName(const std::string& name)
{
    constexpr std::string_view kPng = ".png";
    if (name.size() <= kPng.size())
        return false;
    const std::string_view tail = std::string_view(name).substr(name.size() - kPng.size());
    return std::equal(tail.begin(), tail.end(), kPng.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

void SavePictureFile(const platform::Picture& picture)
{
    const std::optional<platform::File> f = platform::GetSaveFolderItem(
        std::vector<std::string>{FileTypes::ImagePict, FileTypes::ImagePng}, "Kestrix.pict",
        documentFolder());
    if (!f)
        return;
    // The file holds what its name says: PNG for a ".png" name, PICT for any other. A picture
    // that cannot be written leaves no file behind.
    const int format = IsPngName(f->name()) ? platform::kPngFormat : platform::kPictFormat;
    if (!platform::SaveAsPicture(*f, picture, format))
        platform::MsgBox(Messages::ProblemCreatingFile);
}
