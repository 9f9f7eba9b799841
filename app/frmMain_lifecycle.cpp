// The document's life: the start-up sequence with its question, New, and quitting; and the
// preferences file that remembers the last data file from one run to the next.

#include "app/frmMain.h"

#include "app/Companions.h"
#include "app/Messages.h"
#include "app/PrefsFile.h"
#include "app/frmDetails.h"
#include "app/frmSave.h"
#include "app/myLib.h"
#include "app/wtoolbar.h"

#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "platform/values.h"

#include <utility>

namespace {

constexpr const char* kPrefsFileName = "KestrixPrefs";

bool writePrefs(const platform::File& f, const std::string& line2)
{
    if (f.writeAll(WritePrefsFile(line2)))
        return true;
    platform::MsgBox(Messages::PreferencesNotKept);
    return false;
}

} // namespace

void frmMain::Event_Open()
{
    platform::MessageDialog question;
    WorkingFolderSave = platform::File();
    p = platform::PrinterSetup();
    myLib::InitMyLib();
    // No document yet, nothing unsaved, untitled.
    ReplaceDocument(Document{});
    ffing = false;

    wtoolbar& toolbar = wtoolbar::instance();
    toolbar.PlaceAtBottomRight();
    toolbar.show();

    PrefsFileChanged = false;
    ReadOrCreatePrefsFile();

    SetTitleForFile("");
    if (platform::Screen::width() < 850)
        platform::MsgBox(Messages::ScreenTooSmall);
    CreateSwingometerHidden();
    Swinging = false;

    question.icon = 3;
    question.title = "Starting up ...";
    question.actionButton.caption = "Open existing";
    question.cancelButton.visible = false;
    question.alternateActionButton.visible = true;
    question.alternateActionButton.caption = "New diagram";
    question.message = "Start a new diagram or open an existing one ?";
    question.explanation = "";
    // The program never stands without a document: backing out of the question (Escape, its
    // close box), and an Open that reads nothing, start a new diagram as "New diagram" does.
    if (question.showModal() != platform::MessageDialog::Result::Action || !OpenTheLot(true))
        NewDiagram(true);
    refresh();
}

void frmMain::ReadOrCreatePrefsFile()
{
    const std::optional<platform::File> prefs = platform::File::preferencesFile(kPrefsFileName);
    if (!prefs)
        return;
    if (prefs->exists()) {
        WorkingFolderSave = ReadPrefsFile(prefs->readAll(kPrefsFileLimit).value_or(std::string()));
        WorkingFolderSaveOriginal = WorkingFolderSave;
    } else {
        writePrefs(*prefs, "");
        PrefsFileChanged = true;
    }
}

bool frmMain::OfferToSave()
{
    if (!FileChanged)
        return true;
    SavePromptGoOn = false;
    frmSave::instance().showModal(*this);
    const bool goOn = SavePromptGoOn;
    SavePromptGoOn = false;
    return goOn;
}

void frmMain::_FileNew_Action()
{
    if (OfferToSave())
        NewDiagram(false);
}

void frmMain::NewDiagram(bool atStartUp)
{
    // A fresh document: only the central issue, untitled, without links and without an
    // associated database of its own.
    Document fresh;
    fresh.NumPlayer = 0;
    // In the middle of the map at whatever size the window has.
    fresh.Player[0].x = platform::ToInt32(kShownModelWidth / 2.0 - 25);
    fresh.Player[0].y = platform::ToInt32(kShownModelHeight / 2.0 - 20);
    fresh.AveColour = true;
    CloseDatabase();
    ReplaceDocument(std::move(fresh));
    Current = 0;
    CurrentIsNew = true;
    EnableViewButtons();

    PlayerEditorSetup setup;
    setup.followUp = BoxFollowUp::CentreFromCorner;
    if (atStartUp) {
        setup.title = "Define central issue";
        setup.mainVisible = false;
    }
    EditPlayerModally(setup);
    SetTitleForFile("");
    DocumentReplaced();
}

bool frmMain::Event_CancelClose()
{
    // Asked first, so that a quit the user called off leaves every window as it was; the
    // sliders window first of all, since positions it keeps change the document.
    if (!CloseSliders())
        return true;
    return !OfferToSave();
}

void frmMain::Event_Close()
{
    CloseSwingometer();
    if (ffing)
        CloseForceField();
    CloseDatabase();

    bool rewrite = PrefsFileChanged;
    if (!rewrite)
        rewrite = !WorkingFolderSaveOriginal ||
                  WorkingFolderSave.absolutePath() != WorkingFolderSaveOriginal->absolutePath();
    if (rewrite) {
        if (const std::optional<platform::File> prefs =
                platform::File::preferencesFile(kPrefsFileName))
            writePrefs(*prefs, prefs->exists() ? WorkingFolderSave.absolutePath() : std::string());
    }
    platform::Application::quit(0);
}
