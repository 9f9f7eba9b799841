// The real dialogs, shown and answered with their own buttons: what each shows and the answer
// the program gets back.

#include "platform/dialogs.h"
#include "platform/printing.h"
#include "platform/testing.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace platform;
using platform::testing::RealDialog;
using platform::testing::RealDialogs;
using testsupport::TempDir;

namespace {

using Strings = std::vector<std::string>;

// Checks that every step ran and that no modal was left for nobody to answer.
void expectAllAnswered(const RealDialogs& dialogs)
{
    EXPECT_TRUE(dialogs.done()) << "a dialog the test expected was never shown";
    EXPECT_EQ(dialogs.unanswered(), Strings{});
}

struct QuestionCase {
    const char* name;
    bool alternateVisible;
    bool cancelVisible;
    Strings shown;     ///< the buttons the person sees
    std::string press; ///< a caption, or "Escape" / "close box"
    MessageDialog::Result answer;
};

class QuestionTest : public ::testing::TestWithParam<QuestionCase> {};

INSTANTIATE_TEST_SUITE_P(Buttons, QuestionTest,
                         ::testing::Values(QuestionCase{"StartUpOpen",
                                                        true,
                                                        false,
                                                        {"New diagram", "Open existing"},
                                                        "Open existing",
                                                        MessageDialog::Result::Action},
                                           QuestionCase{"StartUpNew",
                                                        true,
                                                        false,
                                                        {"New diagram", "Open existing"},
                                                        "New diagram",
                                                        MessageDialog::Result::Alternate},
                                           QuestionCase{"ThreeAction",
                                                        true,
                                                        true,
                                                        {"Cancel", "New diagram", "Open existing"},
                                                        "Open existing",
                                                        MessageDialog::Result::Action},
                                           QuestionCase{"ThreeAlternate",
                                                        true,
                                                        true,
                                                        {"Cancel", "New diagram", "Open existing"},
                                                        "New diagram",
                                                        MessageDialog::Result::Alternate},
                                           QuestionCase{"ThreeCancel",
                                                        true,
                                                        true,
                                                        {"Cancel", "New diagram", "Open existing"},
                                                        "Cancel",
                                                        MessageDialog::Result::Cancel},
                                           QuestionCase{"EscapeIsCancel",
                                                        true,
                                                        true,
                                                        {"Cancel", "New diagram", "Open existing"},
                                                        "Escape",
                                                        MessageDialog::Result::Cancel},
                                           QuestionCase{"CloseBoxIsCancel",
                                                        false,
                                                        true,
                                                        {"Cancel", "Open existing"},
                                                        "close box",
                                                        MessageDialog::Result::Cancel},
                                           QuestionCase{"ActionAlone",
                                                        false,
                                                        false,
                                                        {"Open existing"},
                                                        "Open existing",
                                                        MessageDialog::Result::Action}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(QuestionTest, TheButtonPressedIsTheAnswer)
{
    const QuestionCase& c = GetParam();
    MessageDialog q;
    q.icon = 3;
    q.title = "Starting up ...";
    q.message = "Start a new diagram or open an existing one ?";
    q.explanation = "Nothing is lost.";
    q.actionButton.caption = "Open existing";
    q.alternateActionButton = {"New diagram", c.alternateVisible};
    q.cancelButton.visible = c.cancelVisible;
    RealDialogs dialogs;
    dialogs.then([&c](RealDialog& d) {
        EXPECT_EQ(d.title(), "Starting up ...");
        EXPECT_EQ(d.text(), "Start a new diagram or open an existing one ?");
        EXPECT_EQ(d.explanation(), "Nothing is lost.");
        Strings shown = d.buttons();
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(d.defaultButton(), "Open existing");
        if (c.press == "Escape")
            d.pressEscape();
        else if (c.press == "close box")
            d.clickCloseBox();
        else
            EXPECT_TRUE(d.press(c.press));
    });
    EXPECT_EQ(q.showModal(), c.answer);
    expectAllAnswered(dialogs);
}

// A question whose safe answer is its cancel button makes that button the default, so that
// Return gives the safe answer as Escape does.
TEST(QuestionDefaultTest, TheSafeAnswerCanBeTheDefault)
{
    MessageDialog q;
    q.title = "Save";
    q.message = "Replace it?";
    q.actionButton.caption = "Replace";
    q.cancelButton.caption = "No";
    q.defaultAnswer = MessageDialog::Result::Cancel;
    RealDialogs dialogs;
    dialogs.then([](RealDialog& d) {
        Strings shown = d.buttons();
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(shown, (Strings{"No", "Replace"}));
        EXPECT_EQ(d.defaultButton(), "No");
        d.pressEscape();
    });
    EXPECT_EQ(q.showModal(), MessageDialog::Result::Cancel);
    expectAllAnswered(dialogs);
}

TEST(MsgBoxTest, ShowsTheMessageUnderTheProgramsNameWithOneButton)
{
    RealDialogs dialogs;
    dialogs.then([](RealDialog& d) {
        EXPECT_EQ(d.title(), "Platform tests");
        EXPECT_EQ(d.text(), "Problem with file ...");
        EXPECT_EQ(d.buttons(), Strings{"OK"});
        EXPECT_TRUE(d.press("OK"));
    });
    MsgBox("Problem with file ...");
    expectAllAnswered(dialogs);
}

class FileDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        declareFileType({"text/data", ".dat", "Kestrix documents"});
        declareFileType({"image/pict", ".pict;pic;.pct", "PICT pictures"});
        declareFileType({"special/any", "", "All files"});
    }
    std::string write(const std::string& name)
    {
        const std::string path = dir.file(name);
        std::ofstream(path) << "Varnholt Data\n";
        return path;
    }
    TempDir dir;
};

struct FilterCase {
    const char* type;
    const char* filter;
};

class FileFilterTest : public FileDialogTest, public ::testing::WithParamInterface<FilterCase> {};

INSTANTIATE_TEST_SUITE_P(Types, FileFilterTest,
                         ::testing::Values(FilterCase{"text/data", "Kestrix documents (*.dat)"},
                                           FilterCase{"image/pict",
                                                      "PICT pictures (*.pict *.pic *.pct)"},
                                           FilterCase{"special/any", "All files (*)"},
                                           // Without a description, the type's name.
                                           FilterCase{"never/declared", "never/declared (*)"}),
                         [](const auto& info) {
                             std::string name = info.param.type;
                             std::replace(name.begin(), name.end(), '/', '_');
                             return name;
                         });

TEST_P(FileFilterTest, BothDialogsOfferTheTypesFilterAlone)
{
    RealDialogs dialogs;
    const auto expectFilter = [](RealDialog& d) {
        EXPECT_EQ(d.nameFilters(), Strings{GetParam().filter});
        EXPECT_EQ(d.selectedNameFilter(), GetParam().filter);
        EXPECT_TRUE(d.press("Cancel"));
    };
    dialogs.then(expectFilter).then(expectFilter);
    EXPECT_FALSE(OpenDialog(GetParam().type, File(dir.path())));
    EXPECT_FALSE(GetSaveFolderItem(GetParam().type, "Kestrix.dat", File(dir.path())));
    expectAllAnswered(dialogs);
}

TEST_F(FileDialogTest, OpenStartsAtTheFilesFolderAndGivesTheFileChosen)
{
    const std::string chosen = write("budget.dat");
    const std::string start = write("last.dat");
    RealDialogs dialogs;
    dialogs.then([&](RealDialog& d) {
        EXPECT_EQ(d.title(), "Open");
        EXPECT_EQ(std::filesystem::path(d.folder()), std::filesystem::path(dir.path()));
        EXPECT_EQ(d.fileName(), "last.dat") << "the file it starts at is chosen";
        d.typeFileName(chosen);
        EXPECT_TRUE(d.press("Open"));
    });
    const std::optional<File> file = OpenDialog("text/data", File(start));
    expectAllAnswered(dialogs);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->absolutePath(), chosen);
}

TEST_F(FileDialogTest, OpenCancelledGivesNothing)
{
    RealDialogs dialogs;
    dialogs.then([](RealDialog& d) {
        d.typeFileName("budget.dat");
        EXPECT_TRUE(d.press("Cancel"));
    });
    write("budget.dat");
    EXPECT_FALSE(OpenDialog("text/data", File(dir.path())));
    expectAllAnswered(dialogs);
}

TEST_F(FileDialogTest, SaveOffersTheDefaultNameInTheFolderAndGivesTheFileChosen)
{
    const std::string chosen = dir.file("mine.dat");
    RealDialogs dialogs;
    dialogs.then([&](RealDialog& d) {
        EXPECT_EQ(d.title(), "Save");
        EXPECT_EQ(std::filesystem::path(d.folder()), std::filesystem::path(dir.path()));
        EXPECT_EQ(d.fileName(), "Kestrix.dat");
        d.typeFileName("mine.dat");
        EXPECT_TRUE(d.press("Save"));
    });
    const std::optional<File> file =
        GetSaveFolderItem("text/data", "Kestrix.dat", File(dir.path()));
    expectAllAnswered(dialogs);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->absolutePath(), chosen);
    EXPECT_FALSE(std::filesystem::exists(chosen)) << "the dialog only names the file";
}

TEST_F(FileDialogTest, SaveCancelledOrClosedGivesNothing)
{
    RealDialogs dialogs;
    dialogs.then([](RealDialog& d) { EXPECT_TRUE(d.press("Cancel")); }).then([](RealDialog& d) {
        d.pressEscape();
    });
    EXPECT_FALSE(GetSaveFolderItem("text/data", "Kestrix.dat", File(dir.path())));
    EXPECT_FALSE(GetSaveFolderItem("text/data", "Kestrix.dat", File(dir.path())));
    expectAllAnswered(dialogs);
}

TEST(PageSetupDialogTest, OkConfirmsAndCancelKeepsTheSetupAsItWas)
{
    PrinterSetup setup;
    setup.setSetupString("KestrixPageSetup/1;printer=;page=A4;orientation=portrait;"
                         "margins=10,10,10,10pt");
    const std::string before = setup.setupString();
    RealDialogs dialogs;
    dialogs
        .then([](RealDialog& d) {
            EXPECT_TRUE(d.press("Landscape"));
            EXPECT_TRUE(d.press("Cancel"));
        })
        .then([](RealDialog& d) { d.pressEscape(); })
        .then([](RealDialog& d) { EXPECT_TRUE(d.press("OK")); });
    EXPECT_FALSE(setup.pageSetupDialog());
    EXPECT_EQ(setup.setupString(), before);
    EXPECT_FALSE(setup.pageSetupDialog());
    EXPECT_TRUE(setup.pageSetupDialog());
    expectAllAnswered(dialogs);
}

struct OrientationCase {
    const char* name;
    const char* from; ///< the orientation the setup starts in
    const char* press;
    const char* kept; ///< the orientation the setup holds after OK
};

class PageSetupChoiceTest : public ::testing::TestWithParam<OrientationCase> {};

INSTANTIATE_TEST_SUITE_P(
    Orientations, PageSetupChoiceTest,
    ::testing::Values(OrientationCase{"ToLandscape", "portrait", "Landscape", "landscape"},
                      OrientationCase{"ToPortrait", "landscape", "Portrait", "portrait"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(PageSetupChoiceTest, OkKeepsTheOrientationChosen)
{
    const OrientationCase& c = GetParam();
    const auto setupString = [](const std::string& orientation) {
        return "KestrixPageSetup/1;printer=;page=Letter;orientation=" + orientation +
               ";margins=20,30,40,50pt";
    };
    PrinterSetup setup;
    setup.setSetupString(setupString(c.from));
    ASSERT_EQ(setup.setupString(), setupString(c.from));
    const int32_t width = setup.width();
    const int32_t height = setup.height();
    RealDialogs dialogs;
    dialogs.then([&c](RealDialog& d) {
        EXPECT_TRUE(d.press(c.press));
        EXPECT_TRUE(d.press("OK"));
    });
    EXPECT_TRUE(setup.pageSetupDialog());
    expectAllAnswered(dialogs);
    const std::string chosen = setup.setupString();
    EXPECT_NE(chosen.find(std::string(";orientation=") + c.kept + ";"), std::string::npos)
        << chosen;
    EXPECT_NE(chosen.find(";page=Letter;"), std::string::npos) << "the paper stays: " << chosen;
    // The page turns: the printable area swaps its sides (the margins turn with it).
    EXPECT_NE(width > height, setup.width() > setup.height());

    PrinterSetup restored;
    restored.setSetupString(chosen);
    EXPECT_EQ(restored.setupString(), chosen);
    EXPECT_EQ(restored.width(), setup.width());
    EXPECT_EQ(restored.height(), setup.height());
}

} // namespace
