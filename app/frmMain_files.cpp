// Open, Save, Save As and Export Data of the main window, and the associated database.

#include "app/frmMain.h"

#include "app/DataFile.h"
#include "app/ExportFiles.h"
#include "app/FileTypes.h"
#include "app/Messages.h"

#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/values.h"

#include <utility>

namespace {

// The database that belongs to a data file: its name up to the first dot, then ".rsd", in the
// data file's own folder.
platform::File databaseFileFor(const platform::File& dataFile)
{
    const std::string name = dataFile.name();
    const int32_t dot = platform::InStr(0, name, ".");
    const std::string stem = dot > 0 ? platform::Left(name, dot - 1) : name;
    return dataFile.parent().child(stem + ".rsd");
}

} // namespace

void frmMain::_FileOpen_Action()
{
    if (OfferToSave())
        (void)OpenTheLot(false);
}

bool frmMain::OpenTheLot(bool atStartUp)
{
    const std::optional<platform::File> chosen =
        platform::OpenDialog(FileTypes::TextData, WorkingFolderSave);
    if (!chosen) {
        platform::MsgBox(Messages::ProblemWithFile);
        return false;
    }

    // Taken before the file is read: a change made while it is read then counts as a change
    // since, and Save asks before it writes over it.
    const std::optional<platform::FileStamp> stamp = chosen->stamp();
    // Only a regular file is read: a pipe or a device is refused before a byte of it is read.
    std::optional<platform::TextInputStream> in = platform::TextInputStream::open(*chosen);
    if (!in) {
        platform::MsgBox(Messages::ProblemWithFile);
        return false;
    }
    // The whole file is read before anything of the document changes; its first line alone
    // decides whether the rest is read at all.
    DataFileRead read = ReadDataFile(*in);
    if (read.readFailed) {
        platform::MsgBox(Messages::ProblemWithFile);
        return false;
    }
    std::optional<DataFileContents>& contents = read.contents;
    if (!contents) {
        platform::MsgBox(Messages::WrongKindOfFile);
        return false;
    }
    in.reset();

    CloseDatabase();
    ReplaceDocument(DocumentFromFile(std::move(*contents), chosen->name(), chosen->absolutePath()));
    InFileStamp = stamp;
    Swinging = false;
    // Only a file that was read is the one last used: a refused one is not offered next time.
    RecordFileUsed(*chosen);

    if (HasDB) {
        db = std::make_unique<platform::SqlDatabase>();
        db->setDatabaseFile(databaseFileFor(*chosen));
        if (!db->databaseFile().exists())
            platform::MsgBox(atStartUp ? Messages::DatabaseMissingAtStartUp
                                       : Messages::DatabaseMissingAtOpen);
        else
            db->connect();
    }

    SetTitleForFile(chosen->name());
    EnableViewButtons();
    DocumentReplaced();
    // Said once the document stands, so that the user sees what was read.
    if (contents->EndedEarly)
        platform::MsgBox(Messages::FileEndedEarly);
    else if (contents->TextAfterEnd)
        platform::MsgBox(Messages::TextAfterEnd);
    return true;
}

bool frmMain::WriteTheLot(const platform::File& f)
{
    const DataFileContents contents =
        MakeDataFileContents(HasDB, NumPlayer, Player, Links, AveColour);
    if (!f.writeAll(WriteDataFile(contents))) {
        platform::MsgBox(Messages::ProblemCreatingFile);
        return false;
    }
    FileChanged = false;
    // The document now stands as the file holds it, and the file is the one last used.
    InFileStamp = f.stamp();
    RecordFileUsed(f);
    return true;
}

void frmMain::SaveTheLot()
{
    const std::string defaultName = InFileName.empty() ? std::string("Kestrix.dat") : InFileName;
    std::optional<platform::File> start;
    if (!InFilePath.empty())
        start = platform::File(InFilePath).parent();
    else
        start = WorkingFolderSave;
    const std::optional<platform::File> f =
        platform::GetSaveFolderItem(FileTypes::TextData, defaultName, start);
    if (!f) {
        platform::MsgBox(Messages::ProblemCreatingFile);
        return;
    }
    // The document takes the file's name only once it is written there; from then on the
    // title names it, Save writes it, and it is the file last used.
    if (WriteTheLot(*f)) {
        InFileName = f->name();
        InFilePath = f->absolutePath();
        SetTitleForFile(f->name());
    }
}

void frmMain::_FileSaveSet_Action()
{
    SaveTheLot();
}

void frmMain::_FileSave_Action()
{
    if (InFileName.empty() || InFilePath.empty()) {
        SaveTheLot();
        return;
    }
    // The file it was opened from or last saved as, by its full path.
    const platform::File f(InFilePath);
    if (!MayReplace(f))
        return;
    (void)WriteTheLot(f);
}

bool frmMain::MayReplace(const platform::File& f)
{
    const std::optional<platform::FileStamp> now = f.stamp();
    // A file that is gone, or stands as the document left it, is written without a question.
    if (!now || now == InFileStamp)
        return true;
    platform::MessageDialog question;
    question.icon = 1;
    question.title = "Save";
    question.message = Messages::ChangedOnDisk(f.name());
    question.explanation = Messages::ChangedOnDiskExplanation;
    question.actionButton.caption = Messages::ChangedOnDiskReplace;
    question.alternateActionButton.visible = false;
    question.cancelButton.caption = Messages::ChangedOnDiskKeep;
    question.defaultAnswer = platform::MessageDialog::Result::Cancel;
    return question.showModal() == platform::MessageDialog::Result::Action;
}

void frmMain::RecordFileUsed(const platform::File& f)
{
    WorkingFolderSave = f;
    PrefsFileChanged = true;
}

void frmMain::_FileExportData_Action()
{
    ExportPlayers([](const ::Player& p) -> std::vector<std::string> {
        return {p.Name, p.Subtitle, platform::Str(p.Position), platform::Str(p.Importance)};
    });
}

void frmMain::CloseDatabase()
{
    if (db)
        db->close();
}
