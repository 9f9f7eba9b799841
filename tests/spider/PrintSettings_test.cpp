// The print-settings file when it cannot be written: a real file-size limit stops the write.

#include "spider/PrintSettings.h"

#include "tests/support/app_fixture.h"
#include "tests/support/cpu_time.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"

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
