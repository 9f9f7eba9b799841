// The print-settings file when it cannot be written (a real file-size limit stops the write)
// or read (a real read that fails).

#include "spider/PrintSettings.h"

#include "app/frmMain.h"

#include "forcefield/ffield.h"

#include "graph/graph.h"

#include "tests/support/app_fixture.h"
#include "tests/support/cpu_time.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unreadable_file.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <sys/stat.h>

namespace {

using testsupport::FileSizeLimit;
using testsupport::Kind;
using testsupport::ModalAnswer;
using testsupport::ModalRequest;
using testsupport::ModalScript;
using testsupport::TempDir;

constexpr const char* kA4 =
    "KestrixPageSetup/1;printer=;page=A4;orientation=landscape;margins=0,0,0,0pt";
// Less than any setup string.
constexpr uint64_t kLimit = 16;

class PrintSettingsTest : public testsupport::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        std::filesystem::remove(settingsPath());
    }

    static std::string folder() { return std::getenv("XDG_CONFIG_HOME"); }
    static std::string settingsPath() { return folder() + "/KestrixPrint.dat"; }
    // The names in the preferences folder besides the preferences file.
    static std::vector<std::string> settingsFiles()
    {
        std::vector<std::string> names = TempDir::names(folder());
        std::erase(names, "KestrixPrefs");
        return names;
    }

    static void confirmPageSetup(ModalScript& script)
    {
        script.expect(Kind::PageSetup, [](const ModalRequest&) { return ModalAnswer::button(1); });
    }
};

class PageSetupWriteTest : public PrintSettingsTest, public ::testing::WithParamInterface<bool> {};

// With an earlier file, and with none yet.
TEST_P(PageSetupWriteTest, SettingsThatCannotBeStoredLeaveTheFileAndTheSetupAsTheyWere)
{
    const bool hadFile = GetParam();
    if (hadFile)
        TempDir::write(settingsPath(), kA4);
    platform::PrinterSetup setup;
    const std::string before = setup.setupString();
    ModalScript script;
    confirmPageSetup(script);
    script.message("Problem creating file ...");
    {
        FileSizeLimit limit(kLimit);
        RunPageSetup(setup);
    }
    EXPECT_TRUE(script.done());
    EXPECT_EQ(setup.setupString(), before);
    if (hadFile) {
        EXPECT_EQ(TempDir::read(settingsPath()), kA4);
        EXPECT_EQ(settingsFiles(), std::vector<std::string>{"KestrixPrint.dat"});
    } else {
        EXPECT_TRUE(settingsFiles().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(EarlierFile, PageSetupWriteTest, ::testing::Bool());

TEST_F(PrintSettingsTest, APrintWhoseFirstSettingsCannotBeStoredStopsBeforeItsDialog)
{
    platform::PrinterSetup setup;
    ModalScript script;
    confirmPageSetup(script);
    script.message("Sorry something went wrong with printing");
    bool loaded = true;
    {
        FileSizeLimit limit(kLimit);
        loaded = LoadPrintSettings(setup);
    }
    EXPECT_FALSE(loaded) << "no print dialog follows";
    EXPECT_TRUE(script.done());
    EXPECT_TRUE(settingsFiles().empty());
}

// Without a home there is no preferences folder: Page Setup and Print work all the same, for
// this run alone, with no message and nothing made anywhere.
TEST_F(PrintSettingsTest, WithoutAHomePageSetupAndPrintWorkForThisRun)
{
    const std::string config = folder();
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    platform::PrinterSetup setup;
    ModalScript script;
    confirmPageSetup(script);
    RunPageSetup(setup);
    const bool loaded = LoadPrintSettings(setup);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    if (!home.empty())
        setenv("HOME", home.c_str(), 1);
    EXPECT_TRUE(loaded) << "the print goes on";
    EXPECT_TRUE(script.done()) << "the page setup dialog came, and no message";
    EXPECT_TRUE(settingsFiles().empty());
}

// A pipe that nobody writes into in the place of the settings: a problem with the file, said
// at once, with no dialog after it and the pipe left as it was.
TEST_F(PrintSettingsTest, ASettingsFileThatIsAPipeIsAProblemAtOnce)
{
    ASSERT_EQ(mkfifo(settingsPath().c_str(), 0600), 0);
    platform::PrinterSetup setup;
    const std::string before = setup.setupString();
    ModalScript script;
    script.message("Problem with file ...").message("Sorry something went wrong with printing");
    RunPageSetup(setup);
    EXPECT_FALSE(LoadPrintSettings(setup));
    EXPECT_TRUE(script.done());
    EXPECT_EQ(setup.setupString(), before);
    EXPECT_TRUE(std::filesystem::is_fifo(settingsPath()));
}

// Page Setup and Print of each window, with print settings whose read fails: the command says
// so before any dialog, and neither the printer setup nor the file changes.
struct UnreadableCase {
    const char* name;
    const char* item;
    const char* message;
    platform::Window& (*window)();
    platform::PrinterSetup& (*setup)();
};

platform::Window& mainWindow()
{
    return frmMain::instance();
}
platform::Window& forceField()
{
    return ffield::instance();
}
platform::Window& graphWindow()
{
    return graph::instance();
}
platform::PrinterSetup& mainSetup()
{
    return frmMain::instance().p;
}
platform::PrinterSetup& graphSetup()
{
    return graph::instance().p;
}

class UnreadableSettingsTest : public PrintSettingsTest,
                               public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableSettingsTest, IsReportedBeforeAnyDialogAndChangesNothing)
{
    const UnreadableCase& c = GetParam();
    testsupport::LoadDocument(main(), {{"Issue", 0, 50, 353, 271}, {"Ally", 60, 70}});
    platform::Window& w = c.window();
    platform::testing::activate(w);
    c.setup().setSetupString(kA4);
    ASSERT_TRUE(testsupport::MakeFileWhoseReadFails(settingsPath()));
    ModalScript script;
    script.message(c.message);
    EXPECT_TRUE(platform::testing::chooseMenuItem(c.item));
    EXPECT_TRUE(script.done());
    // The graph's Print starts from a fresh setup of its own.
    if (c.setup != graphSetup || std::string(c.item) == "FilePageSetup") {
        EXPECT_EQ(c.setup().setupString(), kA4);
    }
    EXPECT_TRUE(testsupport::IsFileWhoseReadFails(settingsPath()));
    EXPECT_EQ(settingsFiles(), std::vector<std::string>{"KestrixPrint.dat"});
}

INSTANTIATE_TEST_SUITE_P(
    Commands, UnreadableSettingsTest,
    ::testing::Values(UnreadableCase{"SpiderPageSetup", "FilePageSetup", "Problem with file ...",
                                     mainWindow, mainSetup},
                      UnreadableCase{"SpiderPrint", "FilePrint",
                                     "Sorry something went wrong with printing", mainWindow,
                                     mainSetup},
                      UnreadableCase{"ForceFieldPageSetup", "FilePageSetup",
                                     "Problem with file ...", forceField, mainSetup},
                      UnreadableCase{"ForceFieldPrint", "FilePrint", "Sorry unable to print",
                                     forceField, mainSetup},
                      UnreadableCase{"GraphPageSetup", "FilePageSetup", "Problem with file ...",
                                     graphWindow, graphSetup},
                      UnreadableCase{"GraphPrint", "FilePrint",
                                     "Sorry something went wrong with printing", graphWindow,
                                     graphSetup}),
    [](const ::testing::TestParamInfo<UnreadableCase>& info) { return info.param.name; });

// A gigabyte in the place of the settings, of zeros alone or after a setup string: a problem
// with the file, said at once without reading it, with no dialog after it and the file left
// as it was. In a child with two seconds of processor time, where reading it all takes more.
class LargeSettingsFileTest : public PrintSettingsTest,
                              public ::testing::WithParamInterface<const char*> {};

TEST_P(LargeSettingsFileTest, IsAProblemAtOnce)
{
    constexpr uint64_t kGigabyte = uint64_t{1} << 30;
    TempDir::writeSparse(settingsPath(), GetParam(), kGigabyte);
    const int result = testsupport::RunWithinCpuTime(2, [] {
        platform::PrinterSetup setup;
        const std::string before = setup.setupString();
        ModalScript script;
        script.message("Problem with file ...").message("Sorry something went wrong with printing");
        RunPageSetup(setup);
        const bool loaded = LoadPrintSettings(setup);
        // The child's failures, such as another message, show only in its exit code.
        return !loaded && script.done() && !HasFailure() && setup.setupString() == before ? 0 : 1;
    });
    EXPECT_EQ(result, 0) << "-1: out of time";
    EXPECT_EQ(std::filesystem::file_size(settingsPath()), kGigabyte);
}

INSTANTIATE_TEST_SUITE_P(Starts, LargeSettingsFileTest, ::testing::Values("", kA4));

} // namespace
