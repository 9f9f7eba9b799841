#include "app/ExportFiles.h"

#include "app/FileTypes.h"
#include "app/Messages.h"
#include "app/frmMain.h"

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/pict.h"

#include <optional>

void ExportPlayers(const std::function<std::string(const Player&)>& line)
{
    const std::optional<platform::File> f =
        platform::GetSaveFolderItem(FileTypes::SpecialAny, "Export.dat");
    if (!f)
        return;
    const frmMain& m = frmMain::instance();
    platform::TextOutputStream out;
    for (int32_t i = 0; i <= m.NumPlayer; ++i)
        out.writeLine(line(m.Player[i]));
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
