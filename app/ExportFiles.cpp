#include "app/ExportFiles.h"

#include "app/FileTypes.h"
#include "app/Messages.h"
#include "app/frmMain.h"

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/pict.h"

#include <optional>

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

} // namespace

void ExportPlayers(const std::function<std::vector<std::string>(const Player&)>& fields)
{
    const std::optional<platform::File> f =
        platform::GetSaveFolderItem(FileTypes::SpecialAny, "Export.dat");
    if (!f)
        return;
    const frmMain& m = frmMain::instance();
    platform::TextOutputStream out;
    for (int32_t i = 0; i <= m.NumPlayer; ++i)
        out.writeLine(exportLine(fields(m.Player[i])));
    if (!f->writeAll(out.bytes()))
        platform::MsgBox(Messages::ProblemCreatingFile);
}

void SavePictureFile(const platform::Picture& picture)
{
    const std::optional<platform::File> f =
        platform::GetSaveFolderItem(FileTypes::ImagePict, "Kestrix.pict");
    if (!f)
        return;
    // A picture that cannot be written leaves no file behind.
    if (!platform::SaveAsPicture(*f, picture, 0))
        platform::MsgBox(Messages::ProblemCreatingFile);
}
