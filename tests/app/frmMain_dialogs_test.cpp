// The main window's real dialogs, shown and answered with their own buttons: the start-up
// question, the save prompt, the open and save dialogs and the messages that follow them.

#include "app/frmDetails.h"
#include "app/frmMain.h"

#include "tests/support/app_fixture.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace pt = platform::testing;
using pt::RealDialog;
using pt::RealDialogs;
using testsupport::TempDir;
using Strings = std::vector<std::string>;

std::string fixture(const std::string& name)
{
    return std::string(KESTRIX_FIXTURES) + "/" + name;
}

void expectAllAnswered(const RealDialogs& dialogs)
{
    EXPECT_TRUE(dialogs.done()) << "a dialog the test expected was never shown";
    EXPECT_EQ(dialogs.unanswered(), Strings{});
}

// The player editor, named and confirmed with its own OK button.
auto nameInEditor(std::string name)
{
    return [name](RealDialog& d) {
        auto* editor = dynamic_cast<frmDetails*>(d.window());
        ASSERT_TRUE(editor) << "not the player editor: " << d.title();
        editor->efName->setText(name);
        EXPECT_TRUE(d.press("OK"));
    };
}

// The save dialog, given a file name and confirmed.
auto saveAs(std::string path)
{
    return [path](RealDialog& d) {
        EXPECT_EQ(d.title(), "Save");
        EXPECT_EQ(d.nameFilters(), Strings{"Kestrix documents (*.dat)"});
        EXPECT_EQ(d.fileName(), "Kestrix.dat");
        d.typeFileName(path);
        EXPECT_TRUE(d.press("Save"));
    };
}

class RealDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pt::setScreenSize(1280, 1024);
        std::filesystem::remove(std::string(std::getenv("XDG_CONFIG_HOME")) + "/KestrixPrefs");
    }
    void TearDown() override { pt::destroyAllWindows(); }

    // Starts the program with a new diagram through the test seam.
    frmMain& startWithNewDiagram()
    {
        {
            testsupport::ModalScript script;
            script.question(1).window([](platform::Window& w) {
                auto& d = dynamic_cast<frmDetails&>(w);
                d.efName->setText("Budget");
                d.PushButton1->push();
            });
            frmMain::instance();
        }
        frmMain& m = frmMain::instance();
        pt::activate(m);
        return m;
    }

    TempDir dir;
};

TEST_F(RealDialogsTest, StartUpOpenExistingOpensTheFileChosenInTheOpenDialog)
{
    RealDialogs dialogs;
    dialogs
        .then([](RealDialog& d) {
            EXPECT_EQ(d.title(), "Starting up ...");
            EXPECT_EQ(d.text(), "Start a new diagram or open an existing one ?");
            EXPECT_EQ(d.defaultButton(), "Open existing");
            EXPECT_EQ(d.buttons().size(), 2u) << "no cancel button";
            EXPECT_TRUE(d.press("Open existing"));
        })
        .then([](RealDialog& d) {
            EXPECT_EQ(d.title(), "Open");
            EXPECT_EQ(d.nameFilters(), Strings{"Kestrix documents (*.dat)"});
            d.typeFileName(fixture("budget.dat"));
            EXPECT_TRUE(d.press("Open"));
        });
    frmMain& m = frmMain::instance();
    expectAllAnswered(dialogs);
    EXPECT_EQ(m.NumPlayer, 1);
    EXPECT_EQ(m.Player[1].Name, "Unions");
    EXPECT_EQ(m.title(), "Varnholt - budget.dat");
    EXPECT_FALSE(m.FileChanged);
}

TEST_F(RealDialogsTest, StartUpNewDiagramDefinesTheCentralIssue)
{
    RealDialogs dialogs;
    dialogs.then([](RealDialog& d) { EXPECT_TRUE(d.press("New diagram")); })
        .then([](RealDialog& d) {
            EXPECT_EQ(d.title(), "Define central issue");
            nameInEditor("Budget")(d);
        });
    frmMain& m = frmMain::instance();
    expectAllAnswered(dialogs);
    EXPECT_EQ(m.NumPlayer, 0);
    EXPECT_EQ(m.Player[0].Name, "Budget");
    EXPECT_TRUE(m.FileChanged);
}

TEST_F(RealDialogsTest, StartUpOpenCancelledSaysSoAndStartsANewDiagram)
{
    RealDialogs dialogs;
    dialogs.then([](RealDialog& d) { EXPECT_TRUE(d.press("Open existing")); })
        .then([](RealDialog& d) { EXPECT_TRUE(d.press("Cancel")); })
        .then([](RealDialog& d) {
            EXPECT_EQ(d.text(), "Problem with file ...");
            EXPECT_TRUE(d.press("OK"));
        })
        .then(nameInEditor("Budget"));
    frmMain& m = frmMain::instance();
    expectAllAnswered(dialogs);
    EXPECT_EQ(m.NumPlayer, 0);
    EXPECT_EQ(m.Player[0].Name, "Budget");
}

// Escape and the close box answer the start-up question as "New diagram" does. It stands
// centred over the main window, also once the window manager has moved that window.
class StartUpBackOutTest : public RealDialogsTest, public ::testing::WithParamInterface<bool> {};

TEST_P(StartUpBackOutTest, StartsANewDiagram)
{
    const bool escape = GetParam();
    RealDialogs dialogs;
    dialogs
        .then([escape](RealDialog& d) {
            EXPECT_EQ(d.title(), "Starting up ...");
            EXPECT_EQ(d.buttons(), (Strings{"New diagram", "Open existing"}));
            frmMain& m = frmMain::instance();
            const auto centred = [&d, &m] {
                const platform::Rect f = d.frame();
                return testsupport::IsCentredOver(f, m);
            };
            EXPECT_TRUE(centred());
            pt::moveAsUser(m, 40, 30);
            pt::processEvents();
            EXPECT_TRUE(centred()) << "after the main window moved";
            if (escape)
                d.pressEscape();
            else
                d.clickCloseBox();
        })
        .then([](RealDialog& d) {
            EXPECT_EQ(d.title(), "Define central issue");
            nameInEditor("Budget")(d);
        });
    frmMain& m = frmMain::instance();
    expectAllAnswered(dialogs);
    EXPECT_EQ(m.NumPlayer, 0);
    EXPECT_EQ(m.Player[0].Name, "Budget");
}

INSTANTIATE_TEST_SUITE_P(Ways, StartUpBackOutTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Escape" : "CloseBox"; });

// The export and picture dialogs name their file types in words a person reads, and start in
// the folder of the document once it has one.
TEST_F(RealDialogsTest, ExportAndPictureDialogsStartInTheDocumentsFolder)
{
    const std::string path = dir.file("budget.dat");
    TempDir::write(path, TempDir::read(fixture("budget.dat")));
    {
        testsupport::ModalScript script;
        script.question(0).openFile(path);
        frmMain::instance();
    }
    frmMain& m = frmMain::instance();
    pt::activate(m);
    const auto expectDialog = [this](Strings filters) {
        return [this, filters](RealDialog& d) {
            EXPECT_EQ(d.nameFilters(), filters);
            EXPECT_EQ(d.folder(), dir.path());
            EXPECT_TRUE(d.press("Cancel"));
        };
    };
    RealDialogs dialogs;
    dialogs.then(expectDialog({"All files (*)"}))
        .then(expectDialog({"PICT pictures (*.pict *.pic *.pct)", "PNG pictures (*.png)"}));
    EXPECT_TRUE(pt::chooseMenuItem("FileExportData"));
    EXPECT_TRUE(pt::chooseMenuItem("FileSaveasPicture"));
    expectAllAnswered(dialogs);
}

TEST_F(RealDialogsTest, SavePromptOkSavesThroughTheSaveDialogBeforeNew)
{
    frmMain& m = startWithNewDiagram();
    ASSERT_TRUE(m.FileChanged);
    const std::string path = dir.file("mine.dat");
    RealDialogs dialogs;
    dialogs
        .then([](RealDialog& d) {
            EXPECT_EQ(d.title(), "Save your data");
            Strings shown = d.buttons();
            std::sort(shown.begin(), shown.end());
            EXPECT_EQ(shown, (Strings{"No", "OK"}));
            EXPECT_TRUE(d.press("OK"));
        })
        .then(saveAs(path))
        .then(nameInEditor("Health"));
    EXPECT_TRUE(pt::chooseMenuItem("FileNew"));
    expectAllAnswered(dialogs);
    EXPECT_EQ(TempDir::read(path).rfind("Varnholt Data\tfalse\n0\nBudget\n", 0), 0u)
        << TempDir::read(path);
    EXPECT_EQ(m.Player[0].Name, "Health");
}

TEST_F(RealDialogsTest, SavePromptNoSavesNothingBeforeNew)
{
    frmMain& m = startWithNewDiagram();
    RealDialogs dialogs;
    dialogs.then([](RealDialog& d) { EXPECT_TRUE(d.press("No")); }).then(nameInEditor("Health"));
    EXPECT_TRUE(pt::chooseMenuItem("FileNew"));
    expectAllAnswered(dialogs);
    EXPECT_EQ(m.Player[0].Name, "Health");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(RealDialogsTest, SaveAsCancelledSaysSoAndKeepsTheChangesUnsaved)
{
    frmMain& m = startWithNewDiagram();
    RealDialogs dialogs;
    dialogs.then([](RealDialog& d) { EXPECT_TRUE(d.press("Cancel")); }).then([](RealDialog& d) {
        EXPECT_EQ(d.text(), "Problem creating file ...");
        EXPECT_TRUE(d.press("OK"));
    });
    EXPECT_TRUE(pt::chooseMenuItem("FileSaveSet"));
    expectAllAnswered(dialogs);
    EXPECT_TRUE(m.FileChanged);
}

} // namespace
