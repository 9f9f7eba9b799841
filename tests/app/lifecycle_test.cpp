// The document's life through the main window: start-up, New, Open, Save, Save As, the save
// prompt, Export Data, the preferences file and quitting.

#include "app/DataFile.h"
#include "app/PrefsFile.h"
#include "app/frmDetails.h"
#include "app/frmMain.h"
#include "app/frmSave.h"
#include "app/wtoolbar.h"

#include "forcefield/ffield.h"

#include "spider/wSwing.h"

#include "tests/support/app_fixture.h"
#include "tests/support/cpu_time.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/largest_document.h"
#include "tests/support/modal_script.h"
#include "tests/support/other_user.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unreadable_file.h"

#include "platform/application.h"
#include "platform/database.h"
#include "platform/files.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace pt = platform::testing;
using testsupport::Kind;
using testsupport::ModalAnswer;
using testsupport::ModalRequest;
using testsupport::ModalScript;
using testsupport::TempDir;

std::string fixture(const std::string& name)
{
    return std::string(KESTRIX_FIXTURES) + "/" + name;
}

std::string prefsPath()
{
    return std::string(std::getenv("XDG_CONFIG_HOME")) + "/KestrixPrefs";
}

constexpr const char* kPrefsNotKept =
    "The preferences could not be saved: the next start will not remember the last file used.";

// Names the central issue in the editor and confirms it.
void defineCentralIssue(ModalScript& script, std::string name)
{
    script.window([name](platform::Window& w) {
        frmDetails& d = dynamic_cast<frmDetails&>(w);
        d.efName->setText(name);
        d.PushButton1->push();
    });
}

// The files mapped into this process.
std::string mappedFiles()
{
    std::ifstream maps("/proc/self/maps");
    return {std::istreambuf_iterator<char>(maps), {}};
}

// Before any test runs: the libraries the test program's file itself needs.
const std::string gMappedAtStart = mappedFiles();

// Whether a library whose file name holds `name` is in this process.
bool libraryLoaded(const std::string& name)
{
    return mappedFiles().find(name) != std::string::npos;
}

class LifecycleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pt::setScreenSize(1280, 1024);
        std::filesystem::remove(prefsPath());
    }
    void TearDown() override
    {
        testsupport::InstallUnexpectedModalHandler();
        pt::destroyAllWindows();
    }

    // Starts the program with "New diagram" and a central issue of that name.
    frmMain& startWithNewDiagram(const std::string& name = "Budget")
    {
        ModalScript script;
        script.question(1);
        defineCentralIssue(script, name);
        frmMain& m = frmMain::instance();
        pt::activate(m);
        return m;
    }

    // Starts the program by opening a file.
    frmMain& startWithFile(const std::string& path)
    {
        ModalScript script;
        script.question(0).openFile(path);
        frmMain& m = frmMain::instance();
        pt::activate(m);
        return m;
    }

    TempDir dir;
};

TEST_F(LifecycleTest, TheStartUpQuestionOffersToOpenOrStartANewDiagram)
{
    ModalScript script;
    script.expect(Kind::Question, [](const ModalRequest& r) {
        EXPECT_EQ(r.title, "Starting up ...");
        EXPECT_EQ(r.message, "Start a new diagram or open an existing one ?");
        EXPECT_EQ(r.buttons, (std::vector<std::string>{"Open existing", "New diagram", ""}));
        return ModalAnswer::button(1);
    });
    script.window([](platform::Window& w) {
        frmDetails& d = dynamic_cast<frmDetails&>(w);
        EXPECT_EQ(d.title(), "Define central issue");
        EXPECT_FALSE(d.cbMain->isVisible());
        EXPECT_TRUE(d.cbAveColour->value()) << "a new diagram colours its issue by the average";
        d.efName->setText("Budget");
        d.PushButton1->push();
    });
    frmMain& m = frmMain::instance();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(m.NumPlayer, 0);
    EXPECT_EQ(m.Player[0].Name, "Budget");
    EXPECT_EQ(m.Player[0].x, 353) << "from the canvas's 756 by 582 pixels";
    EXPECT_EQ(m.Player[0].y, 271);
    EXPECT_EQ(m.Player[0].Width, 62);
    EXPECT_EQ(m.Player[0].xcentre, 353 + 31);
    EXPECT_TRUE(m.AveColour);
    EXPECT_TRUE(m.FileChanged);
    EXPECT_EQ(m.title(), "Varnholt");
    EXPECT_TRUE(m.PushButton3->isEnabled());
    EXPECT_TRUE(wtoolbar::exists() && wtoolbar::instance().isVisible());
}

// The print system's libraries: the toolkit's plug-in, which every printer object loads, and
// CUPS itself, which print jobs use.
class PrintSystemAtStartUpTest : public LifecycleTest,
                                 public ::testing::WithParamInterface<const char*> {};

TEST_P(PrintSystemAtStartUpTest, IsNotLoadedUntilAPrinterIsNeeded)
{
    const std::string library = GetParam();
    ASSERT_EQ(gMappedAtStart.find(library), std::string::npos) << "the program's file needs it";
    if (libraryLoaded(library))
        GTEST_SKIP() << "an earlier test in this process loaded " << library;
    frmMain& m = startWithNewDiagram();
    EXPECT_FALSE(libraryLoaded(library)) << "start-up loaded it";
    // The printer setup still gives the default printer's settings once they are asked for.
    EXPECT_EQ(m.p.setupString().rfind("KestrixPageSetup/1;", 0), 0u);
    EXPECT_GT(m.p.width(), 0);
    EXPECT_GT(m.p.height(), 0);
    EXPECT_TRUE(libraryLoaded(library)) << "so the check above would have seen it";
}

INSTANTIATE_TEST_SUITE_P(Libraries, PrintSystemAtStartUpTest,
                         ::testing::Values("libcupsprintersupport", "libcups.so"),
                         [](const auto& info) {
                             return std::string(info.index == 0 ? "ToolkitPlugin" : "Cups");
                         });

// A data file whose header says it has a database, beside an empty SQLite file (which SQLite
// opens as an empty database).
std::string writeFileWithDatabase(const TempDir& dir)
{
    const std::string path = dir.file("with.db.dat");
    std::string text = TempDir::read(fixture("budget.dat"));
    text.replace(text.find("false"), 5, "true");
    TempDir::write(path, text);
    TempDir::write(dir.file("with.rsd"), "");
    return path;
}

// Whether an earlier test in this process has loaded the platform's printing or database
// module: a test of what loads them needs a process of its own (ctest gives each one).
bool modulesLoaded()
{
    return libraryLoaded("libkestrix_printing") || libraryLoaded("libkestrix_sql");
}

// The toolkit's print support and SQL support are loaded by the first page setup and the
// first database, not by the start-up, and the test program does not need them either.
TEST_F(LifecycleTest, PrintAndSqlSupportAreLoadedByTheirFirstUse)
{
    for (const char* library : {"libQt6PrintSupport", "libQt6Sql"})
        ASSERT_EQ(gMappedAtStart.find(library), std::string::npos)
            << "the test program's file needs " << library;
    if (modulesLoaded())
        GTEST_SKIP() << "an earlier test in this process loaded printing or the database";
    frmMain& m = startWithNewDiagram();
    EXPECT_FALSE(libraryLoaded("libQt6PrintSupport")) << "start-up loaded it";
    EXPECT_FALSE(libraryLoaded("libQt6Sql")) << "start-up loaded it";

    ModalScript script;
    script.cancel(Kind::PageSetup);
    m._FilePageSetup_Action();
    EXPECT_TRUE(script.done());
    EXPECT_TRUE(libraryLoaded("libQt6PrintSupport"));
    EXPECT_FALSE(libraryLoaded("libQt6Sql"));

    m.FileChanged = false;
    script.openFile(writeFileWithDatabase(dir));
    m._FileOpen_Action();
    ASSERT_TRUE(m.db);
    EXPECT_TRUE(m.db->isConnected());
    EXPECT_TRUE(libraryLoaded("libQt6Sql"));
}

// Without their modules, page setup and print end with the program's messages of a failed
// print, and a database is not connected, as when its connect fails; the document opens.
TEST_F(LifecycleTest, WithoutTheirModulesPrintingAndTheDatabaseFailAsTheyDoOtherwise)
{
    if (modulesLoaded())
        GTEST_SKIP() << "an earlier test in this process loaded printing or the database";
    pt::setModuleFolder(dir.file("no-modules-here"));
    struct Restore {
        ~Restore() { pt::setModuleFolder({}); }
    } restore;
    frmMain& m = startWithNewDiagram();

    ModalScript script;
    script.message("Sorry something went wrong with printing");
    m._FilePageSetup_Action();
    script.message("The page could not be printed.");
    m._FilePrint_Action();
    EXPECT_FALSE(libraryLoaded("libQt6PrintSupport"));

    m.FileChanged = false;
    script.openFile(writeFileWithDatabase(dir));
    m._FileOpen_Action();
    EXPECT_EQ(m.NumPlayer, 1);
    EXPECT_TRUE(m.HasDB);
    ASSERT_TRUE(m.db);
    EXPECT_FALSE(m.db->isConnected());
    EXPECT_FALSE(libraryLoaded("libQt6Sql"));
    EXPECT_TRUE(script.done());

    // Found again, the modules load and work.
    pt::setModuleFolder({});
    EXPECT_TRUE(m.db->connect());
    script.cancel(Kind::PageSetup);
    m._FilePageSetup_Action();
    EXPECT_TRUE(script.done());
}

// The program never stands without a document: backing out of the start-up question, and an
// Open at start-up that reads nothing, start a new diagram as "New diagram" does; Save then
// writes a document that Open reads back.
struct NoDocumentCase {
    const char* name;
    bool open;           ///< "Open existing", else the question backed out of
    const char* file;    ///< the file chosen: "" cancels the dialog, "-" is a file not ours
    const char* message; ///< what Open says first
};

class StartUpFallBackTest : public LifecycleTest,
                            public ::testing::WithParamInterface<NoDocumentCase> {};

TEST_P(StartUpFallBackTest, StartsANewDiagramThatSaveWritesAndOpenReads)
{
    const NoDocumentCase& c = GetParam();
    {
        ModalScript script;
        if (!c.open) {
            script.cancel(Kind::Question);
        } else if (!*c.file) {
            script.question(0).cancel(Kind::OpenFile).message(c.message);
        } else {
            const std::string foreign = dir.file("notes.dat");
            TempDir::write(foreign, "Shopping list\nbread\n");
            script.question(0).openFile(foreign).message(c.message);
        }
        script.expect(Kind::Window, [](const ModalRequest& r) {
            EXPECT_EQ(r.title, "Define central issue");
            auto& d = dynamic_cast<frmDetails&>(*r.window);
            EXPECT_FALSE(d.cbMain->isVisible());
            d.efName->setText("Budget");
            d.PushButton1->push();
            return ModalAnswer::ok();
        });
        frmMain::instance();
        EXPECT_TRUE(script.done());
    }
    frmMain& m = frmMain::instance();
    pt::activate(m);
    EXPECT_EQ(m.NumPlayer, 0);
    EXPECT_EQ(m.Player[0].Name, "Budget");
    EXPECT_EQ(m.title(), "Varnholt");
    EXPECT_TRUE(m.pbMove->isEnabled());

    const std::string saved = dir.file("budget.dat");
    ModalScript script;
    script.saveFile(saved);
    ASSERT_TRUE(pt::chooseMenuItem("FileSave"));
    EXPECT_EQ(m.title(), "Varnholt - budget.dat");
    const std::optional<DataFileContents> back = ReadDataFile(TempDir::read(saved));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->NumPlayer, 0);
    EXPECT_EQ(back->players[0].Name, "Budget");
}

INSTANTIATE_TEST_SUITE_P(
    Ways, StartUpFallBackTest,
    ::testing::Values(NoDocumentCase{"QuestionBackedOut", false, "", ""},
                      NoDocumentCase{"OpenCancelled", true, "", "Problem with file ..."},
                      NoDocumentCase{"FileRefused", true, "-",
                                     "Sorry, this doesn't seem to be the right kind of file ..."}),
    [](const auto& info) { return info.param.name; });

TEST_F(LifecycleTest, ANarrowScreenGetsTheResolutionMessage)
{
    pt::setScreenSize(849, 700);
    ModalScript script;
    script.message("This is best viewed at greater than 800x600 resolution...").question(1);
    defineCentralIssue(script, "Budget");
    frmMain::instance();
    pt::destroyAllWindows();
    pt::setScreenSize(850, 700);
    ModalScript wide;
    wide.question(1);
    defineCentralIssue(wide, "Budget");
    frmMain::instance();
}

TEST_F(LifecycleTest, OpeningAFileAtStartUpReadsIt)
{
    frmMain& m = startWithFile(fixture("budget.dat"));
    EXPECT_EQ(m.NumPlayer, 1);
    EXPECT_EQ(m.Player[1].Name, "Unions");
    EXPECT_EQ(m.Player[1].KeyMsg, "Meet them first\rbefore May");
    EXPECT_EQ(m.InFileName, "budget.dat");
    EXPECT_EQ(m.title(), "Varnholt - budget.dat");
    EXPECT_FALSE(m.FileChanged);
    EXPECT_TRUE(m.pbMove->isEnabled());
}

TEST_F(LifecycleTest, SaveAsWritesTheDocumentAndLaterSavesGoToTheSameFile)
{
    frmMain& m = startWithNewDiagram("Budget");
    const std::string path = dir.file("mine.dat");
    ModalScript script;
    script.expect(Kind::SaveFile, [path](const ModalRequest& r) {
        EXPECT_EQ(r.filter, "text/data");
        EXPECT_EQ(r.defaultName, "Kestrix.dat");
        return ModalAnswer::file(path);
    });
    EXPECT_TRUE(pt::chooseMenuItem("FileSave")) << "Save of an untitled document is Save As";
    EXPECT_FALSE(m.FileChanged);
    EXPECT_EQ(m.InFileName, "mine.dat");
    EXPECT_EQ(m.title(), "Varnholt - mine.dat") << "the title names the file Save writes";
    // Line 7 holds the width the spider plot's paint measured.
    const std::string written = TempDir::read(path);
    EXPECT_EQ(written.substr(0, written.find("271\n") + 4),
              "Varnholt Data\tfalse\n0\nBudget\n\t\n353\n271\n");
    EXPECT_EQ(written.substr(written.find("\n30\n")), "\n30\n-10\n40\ntrue false\ntrue\n");
    m.Player[0].Position = 25;
    m.FileChanged = true;
    EXPECT_TRUE(pt::chooseMenuItem("FileSave"));
    EXPECT_FALSE(m.FileChanged);
    EXPECT_NE(TempDir::read(path).find("\n25\n"), std::string::npos) << "written to its full path";
}

TEST_F(LifecycleTest, OpenThenSaveAsReproducesTheFile)
{
    frmMain& m = startWithFile(fixture("budget.dat"));
    ModalScript script;
    script.expect(Kind::SaveFile, [&](const ModalRequest& r) {
        EXPECT_EQ(r.defaultName, "budget.dat");
        return ModalAnswer::file(dir.file("copy.dat"));
    });
    m._FileSaveSet_Action();
    const std::string original = TempDir::read(fixture("budget.dat"));
    std::string copy = TempDir::read(dir.file("copy.dat"));
    // Width is measured by the spider plot's paint; everything else comes back as it was.
    auto withoutWidths = [](std::string s) {
        platform::TextInputStream in(s);
        std::string out;
        for (int line = 1; !in.atEnd(); ++line) {
            const std::string l = in.readLine();
            if (line != 7 && line != 16)
                out += l + "\n";
        }
        return out;
    };
    EXPECT_EQ(withoutWidths(copy), withoutWidths(original));
    EXPECT_EQ(m.title(), "Varnholt - copy.dat") << "the title names the file Save now writes";
}

// The largest document the program holds, opened from a file of more than one read's chunk
// and saved again: every field of every player, every link and every line comes through.
TEST_F(LifecycleTest, TheLargestDocumentComesThroughOpenAndSaveWhole)
{
    namespace largest = testsupport::largest;
    frmMain& m = startWithNewDiagram();
    m.FileChanged = false;
    const std::string path = dir.file("largest.dat");
    largest::Open(m, path);
    ASSERT_GT(TempDir::read(path).size(), 2 * platform::TextInputStream::kChunkSize);
    EXPECT_EQ(m.title(), "Varnholt - largest.dat");
    EXPECT_TRUE(m.pbMove->isEnabled());
    for (int32_t i = 0; i <= kPlayerLimit; ++i) {
        const Player want = largest::player(i);
        const Player& got = m.Player[i];
        EXPECT_EQ(got.Name, want.Name) << "player " << i;
        EXPECT_EQ(got.Subtitle, want.Subtitle) << "player " << i;
        EXPECT_EQ(got.KeyMsg, want.KeyMsg) << "player " << i;
        EXPECT_EQ(got.x, want.x) << "player " << i;
        EXPECT_EQ(got.y, want.y) << "player " << i;
        EXPECT_EQ(got.Height, want.Height) << "player " << i;
        EXPECT_EQ(got.xcentre, want.xcentre) << "player " << i;
        EXPECT_EQ(got.ycentre, want.ycentre) << "player " << i;
        EXPECT_EQ(got.Position, want.Position) << "player " << i;
        EXPECT_EQ(got.Importance, want.Importance) << "player " << i;
        EXPECT_EQ(got.LinkMain, want.LinkMain) << "player " << i;
        EXPECT_EQ(got.Unknown, want.Unknown) << "player " << i;
    }
    int wrongLinks = 0;
    for (int32_t i = 1; i <= kPlayerLimit; ++i)
        for (int32_t j = 1; j <= kPlayerLimit; ++j)
            if (m.Links[i][j] != largest::link(i, j) && wrongLinks++ < 5)
                ADD_FAILURE() << "link " << i << ", " << j << " is " << m.Links[i][j];
    EXPECT_EQ(wrongLinks, 0);
    EXPECT_EQ(m.AveColour, largest::kAveColour);

    // Saved elsewhere, the file holds the same lines; a box's width is the one its last
    // drawing measured.
    ModalScript script;
    script.saveFile(dir.file("saved.dat"));
    m._FileSaveSet_Action();
    ASSERT_TRUE(script.done());
    const std::vector<std::string> want = largest::lines();
    std::vector<std::string> saved;
    {
        const std::string bytes = TempDir::read(dir.file("saved.dat"));
        size_t pos = 0;
        for (size_t end; (end = bytes.find('\n', pos)) != std::string::npos; pos = end + 1)
            saved.push_back(bytes.substr(pos, end - pos));
        EXPECT_EQ(pos, bytes.size()) << "text after the last line end";
    }
    ASSERT_EQ(saved.size(), want.size());
    for (size_t n = 0; n < want.size(); ++n) {
        const bool widthLine = n >= 2 && n < 2 + 9 * 51 && (n - 2) % 9 == 4;
        if (!widthLine) {
            EXPECT_EQ(saved[n], want[n]) << "line " << n + 1;
        }
    }

    // Exported, one line for each player, from the central issue to the last.
    script.saveFile(dir.file("Export.dat"));
    EXPECT_TRUE(pt::chooseMenuItem("FileExportData"));
    const std::string exported = TempDir::read(dir.file("Export.dat"));
    EXPECT_EQ(std::count(exported.begin(), exported.end(), '\n'), kPlayerLimit + 1);
    const Player first = largest::player(0);
    const Player last = largest::player(kPlayerLimit);
    EXPECT_EQ(exported.substr(0, exported.find('\n')), first.Name + "\t" + first.Subtitle + "\t" +
                                                           std::to_string(first.Position) + "\t" +
                                                           std::to_string(first.Importance));
    EXPECT_NE(exported.find("\n" + last.Name + "\t" + last.Subtitle + "\t" +
                            std::to_string(last.Position) + "\t" + std::to_string(last.Importance) +
                            "\n"),
              std::string::npos);
}

class RefusalTest : public LifecycleTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusalTest, ARefusedFileLeavesEverythingAsItWas)
{
    frmMain& m = startWithFile(fixture("budget.dat"));
    m.Player[1].Position = 55;
    m.FileChanged = false;
    const std::string path = dir.file("bad.dat");
    TempDir::write(path, GetParam());
    ModalScript script;
    script.openFile(path).message("Sorry, this doesn't seem to be the right kind of file ...");
    EXPECT_TRUE(pt::chooseMenuItem("FileOpen"));
    EXPECT_EQ(m.NumPlayer, 1);
    EXPECT_EQ(m.Player[1].Position, 55);
    EXPECT_EQ(m.InFileName, "budget.dat") << "a later Save must not go to the refused file";
    EXPECT_EQ(m.title(), "Varnholt - budget.dat");
    EXPECT_EQ(TempDir::read(path), GetParam());
    // The file last used is still the one opened before, and the next start-up offers it.
    EXPECT_EQ(m.WorkingFolderSave.absolutePath(), fixture("budget.dat"));
    m.close();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(TempDir::read(prefsPath()), "?\n" + fixture("budget.dat") + "\n");
}

INSTANTIATE_TEST_SUITE_P(Files, RefusalTest,
                         ::testing::Values("Some other file\n1\n", "Varnholt Data\tfalse\n51\n",
                                           "Varnholt Data\tfalse\n-2\n",
                                           "Varnholt Data\tfalse\n1e12\n"));

// Bytes this process has read so far, from any file.
uint64_t bytesReadByThisProcess()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:")
            return value;
    ADD_FAILURE() << "no rchar in /proc/self/io";
    return 0;
}

class LargeRefusalTest : public LifecycleTest, public ::testing::WithParamInterface<const char*> {};

// A gigabyte named like a data file whose first line is no header: it is refused from that
// line, having read no more than a small part of the file.
TEST_P(LargeRefusalTest, IsRefusedFromItsFirstLine)
{
    frmMain& m = startWithFile(fixture("budget.dat"));
    const std::string path = dir.file("wrong.dat");
    TempDir::writeSparse(path, GetParam(), uint64_t{1} << 30);
    ModalScript script;
    script.openFile(path).message("Sorry, this doesn't seem to be the right kind of file ...");
    const uint64_t before = bytesReadByThisProcess();
    EXPECT_TRUE(pt::chooseMenuItem("FileOpen"));
    EXPECT_LT(bytesReadByThisProcess() - before, uint64_t{8} << 20);
    EXPECT_TRUE(script.done());
    EXPECT_EQ(m.NumPlayer, 1);
    EXPECT_EQ(m.title(), "Varnholt - budget.dat");
}

INSTANTIATE_TEST_SUITE_P(Starts, LargeRefusalTest, ::testing::Values("", "PK\x03\x04\n"));

// A pipe that nobody writes into, a device that never ends, and a link to one: each is a
// problem with the file, said at once, and the open document stays as it was.
class NotARegularFileTest : public LifecycleTest,
                            public ::testing::WithParamInterface<const char*> {};

void makeNotARegularFile(const std::string& kind, const std::string& path)
{
    if (kind == "pipe")
        EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
    else
        std::filesystem::create_symlink(kind, path);
}

TEST_P(NotARegularFileTest, OpenSaysItIsAProblemAndChangesNothing)
{
    frmMain& m = startWithFile(fixture("budget.dat"));
    m.Player[1].Position = 55;
    m.FileChanged = false;
    const std::string path = dir.file("odd.dat");
    makeNotARegularFile(GetParam(), path);
    ModalScript script;
    script.openFile(path).message("Problem with file ...");
    EXPECT_TRUE(pt::chooseMenuItem("FileOpen"));
    EXPECT_TRUE(script.done());
    EXPECT_EQ(m.NumPlayer, 1);
    EXPECT_EQ(m.Player[1].Position, 55);
    EXPECT_FALSE(m.FileChanged);
    EXPECT_EQ(m.InFileName, "budget.dat");
    EXPECT_EQ(m.title(), "Varnholt - budget.dat");
}

TEST_P(NotARegularFileTest, APreferencesFileOfThatKindIsPassedOverAtStartUp)
{
    std::filesystem::create_directories(std::getenv("XDG_CONFIG_HOME"));
    makeNotARegularFile(GetParam(), prefsPath());
    frmMain& m = startWithNewDiagram();
    EXPECT_EQ(m.WorkingFolderSave.absolutePath(), platform::File().absolutePath());
    EXPECT_EQ(m.NumPlayer, 0);
    EXPECT_FALSE(std::filesystem::is_regular_file(prefsPath())) << "left as it was";
}

INSTANTIATE_TEST_SUITE_P(Kinds, NotARegularFileTest,
                         ::testing::Values("pipe", "/dev/zero", "/dev/null"));

// A data file whose read fails, as on a disk that cannot give its bytes: at start-up and from
// the menu, Open says it is a problem with the file, and the document stays as it was.
TEST_F(LifecycleTest, AFileWhoseReadFailsIsAProblemAndChangesNothing)
{
    const std::string path = dir.file("damaged.dat");
    ASSERT_TRUE(testsupport::MakeFileWhoseReadFails(path));
    frmMain* m = nullptr;
    {
        ModalScript script;
        script.question(0).openFile(path).message("Problem with file ...");
        defineCentralIssue(script, "Budget");
        m = &frmMain::instance();
        EXPECT_TRUE(script.done());
    }
    pt::activate(*m);
    EXPECT_EQ(m->NumPlayer, 0) << "a new diagram";
    EXPECT_EQ(m->title(), "Varnholt");
    m->FileChanged = false; // so that Open asks nothing about it

    ModalScript script;
    script.openFile(fixture("budget.dat"));
    ASSERT_TRUE(pt::chooseMenuItem("FileOpen"));
    m->Player[1].Position = 55;
    m->FileChanged = false;
    script.openFile(path).message("Problem with file ...");
    EXPECT_TRUE(pt::chooseMenuItem("FileOpen"));
    EXPECT_TRUE(script.done());
    EXPECT_EQ(m->NumPlayer, 1);
    EXPECT_EQ(m->Player[1].Name, "Unions");
    EXPECT_EQ(m->Player[1].Position, 55);
    EXPECT_FALSE(m->FileChanged);
    EXPECT_EQ(m->InFileName, "budget.dat") << "a later Save goes where it went before";
    EXPECT_EQ(m->title(), "Varnholt - budget.dat");
    EXPECT_TRUE(testsupport::IsFileWhoseReadFails(path));
}

// The largest document, whose read fails part-way, at its first byte, inside its first line,
// at the end of a read chunk and just before its last byte: Open says it is a problem with the
// file and keeps the document it had, not the part read.
class PartWayReadTest : public LifecycleTest, public ::testing::WithParamInterface<uint64_t> {};

TEST_P(PartWayReadTest, OpenKeepsTheDocumentItHad)
{
    const std::string path = dir.file("largest.dat");
    const std::string text = testsupport::largest::text();
    TempDir::write(path, text);
    frmMain& m = startWithFile(fixture("budget.dat"));
    const uint64_t after = GetParam() == UINT64_MAX ? text.size() - 1 : GetParam();
    ModalScript script;
    script.openFile(path).message("Problem with file ...");
    {
        const pt::FileReadFault fault(after);
        EXPECT_TRUE(pt::chooseMenuItem("FileOpen"));
    }
    EXPECT_TRUE(script.done());
    EXPECT_EQ(m.NumPlayer, 1);
    EXPECT_EQ(m.Player[1].Name, "Unions");
    EXPECT_EQ(m.title(), "Varnholt - budget.dat");

    // Once the disk gives every byte, the same file opens whole.
    script.openFile(path);
    EXPECT_TRUE(pt::chooseMenuItem("FileOpen"));
    EXPECT_TRUE(script.done());
    EXPECT_EQ(m.NumPlayer, 50);
    EXPECT_EQ(m.Player[50].Name, testsupport::largest::player(50).Name);
}

INSTANTIATE_TEST_SUITE_P(Places, PartWayReadTest,
                         ::testing::Values(uint64_t{0}, uint64_t{5},
                                           uint64_t{platform::TextInputStream::kChunkSize},
                                           UINT64_MAX));

// A preferences file whose read fails: the start-up goes on from the home folder without a
// word, and a quit that recorded no file leaves the preferences file as it was.
TEST_F(LifecycleTest, APreferencesFileWhoseReadFailsIsPassedOverAndKept)
{
    std::filesystem::create_directories(std::getenv("XDG_CONFIG_HOME"));
    ASSERT_TRUE(testsupport::MakeFileWhoseReadFails(prefsPath()));
    frmMain& m = startWithNewDiagram();
    EXPECT_EQ(m.NumPlayer, 0);
    m.FileChanged = false;
    ModalScript script;
    script
        .expect(Kind::OpenFile,
                [](const ModalRequest& r) {
                    EXPECT_EQ(r.initialDirectory, platform::File().absolutePath());
                    return ModalAnswer::cancel();
                })
        .message("Problem with file ...");
    EXPECT_TRUE(pt::chooseMenuItem("FileOpen"));
    m.close();
    EXPECT_TRUE(script.done()) << "nothing more is said, not even at quit";
    EXPECT_TRUE(platform::Application::quitRequested());
    EXPECT_TRUE(testsupport::IsFileWhoseReadFails(prefsPath()));
}

TEST_F(LifecycleTest, AFileThatCannotBeWrittenLeavesTheOldOneAndTheChanges)
{
    frmMain& m = startWithNewDiagram();
    ModalScript script;
    script.saveFile(dir.file("missing/mine.dat")).message("Problem creating file ...");
    m._FileSaveSet_Action();
    EXPECT_TRUE(m.FileChanged);
    EXPECT_EQ(m.InFileName, "");

    const std::string path = dir.file("old.dat");
    TempDir::write(path, "old content");
    // A folder where the file should go can't be replaced by it either.
    std::filesystem::create_directory(dir.file("taken.dat"));
    script.saveFile(dir.file("taken.dat")).message("Problem creating file ...");
    m._FileSaveSet_Action();
    EXPECT_TRUE(m.FileChanged);
    EXPECT_EQ(TempDir::read(path), "old content");
}

// A user who may write a file but not the folder it is in (root's, here) saves and exports
// over it all the same, and the file stays theirs.
TEST_F(LifecycleTest, SaveAndExportWriteAFileTheUserMayWriteInAFolderTheyMayNot)
{
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    const std::string path = dir.file("budget.dat");
    const std::string exported = dir.file("Export.dat");
    TempDir::write(path, TempDir::read(fixture("budget.dat")));
    TempDir::write(exported, "old export\n");
    for (const std::string& file : {path, exported}) {
        ASSERT_EQ(chown(file.c_str(), testsupport::kNobody, testsupport::kNogroup), 0);
        ASSERT_EQ(chmod(file.c_str(), 0644), 0);
    }
    frmMain& m = startWithFile(path);
    m.Player[1].Position = -77;
    m.FileChanged = true;

    const int result = testsupport::RunAsNobody([&] {
        ModalScript script;
        script.saveFile(exported);
        m._FileSave_Action();
        m._FileExportData_Action();
        return m.FileChanged || !script.done() ? 1 : 0;
    });
    EXPECT_EQ(result, 0) << "a message was shown, or the document is still unsaved";

    // What the same document and export are, written by root elsewhere.
    ModalScript script;
    script.saveFile(dir.file("reference.dat")).saveFile(dir.file("reference-export.dat"));
    m._FileSaveSet_Action();
    m._FileExportData_Action();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(TempDir::read(path), TempDir::read(dir.file("reference.dat")));
    EXPECT_EQ(TempDir::read(exported), TempDir::read(dir.file("reference-export.dat")));
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, testsupport::kNobody);
    EXPECT_EQ(st.st_mode & 07777, 0644);
}

// A document the user made read-only (mode 444, theirs, in a folder they may write) is not
// written by Save or Export Data: the message, and the file as it was.
TEST_F(LifecycleTest, SaveAndExportRefuseAFileTheUserMadeReadOnly)
{
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    const std::string folder = dir.file("mine");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const std::string path = folder + "/budget.dat";
    const std::string exported = folder + "/Export.dat";
    TempDir::write(path, TempDir::read(fixture("budget.dat")));
    TempDir::write(exported, "old export\n");
    for (const std::string& file : {folder, path, exported})
        ASSERT_EQ(chown(file.c_str(), testsupport::kNobody, testsupport::kNogroup), 0);
    for (const std::string& file : {path, exported})
        ASSERT_EQ(chmod(file.c_str(), 0444), 0);
    frmMain& m = startWithFile(path);
    m.Player[1].Position = -77;
    m.FileChanged = true;

    const int result = testsupport::RunAsNobody([&] {
        ModalScript script;
        script.message("Problem creating file ...");
        script.saveFile(exported).message("Problem creating file ...");
        m._FileSave_Action();
        m._FileExportData_Action();
        return m.FileChanged && script.done() ? 0 : 1;
    });
    EXPECT_EQ(result, 0) << "no message, or the document counts as saved";
    EXPECT_EQ(TempDir::read(path), TempDir::read(fixture("budget.dat")));
    EXPECT_EQ(TempDir::read(exported), "old export\n");
    EXPECT_EQ(TempDir::names(folder), (std::vector<std::string>{"Export.dat", "budget.dat"}));
}

// Save of a document with a second hard link: both names show the saved document.
TEST_F(LifecycleTest, SaveWritesEveryNameOfAHardLinkedDocument)
{
    const std::string path = dir.file("budget.dat");
    const std::string other = dir.file("shared copy.dat");
    TempDir::write(path, TempDir::read(fixture("budget.dat")));
    ASSERT_EQ(link(path.c_str(), other.c_str()), 0);
    frmMain& m = startWithFile(path);
    m.Player[1].Position = -77;
    m.FileChanged = true;
    EXPECT_TRUE(pt::chooseMenuItem("FileSave"));
    EXPECT_FALSE(m.FileChanged);
    EXPECT_NE(TempDir::read(other).find("\n-77\n"), std::string::npos);
    EXPECT_EQ(TempDir::read(other), TempDir::read(path));
}

// A document whose name is as long as the system allows opens and saves under that name.
TEST_F(LifecycleTest, ADocumentWithALongNameSaves)
{
    const std::string name = std::string(246, 'n') + ".dat";
    const std::string path = dir.file(name);
    TempDir::write(path, TempDir::read(fixture("budget.dat")));
    frmMain& m = startWithFile(path);
    m.Player[1].Position = -77;
    m.FileChanged = true;
    EXPECT_TRUE(pt::chooseMenuItem("FileSave"));
    EXPECT_FALSE(m.FileChanged);
    EXPECT_NE(TempDir::read(path).find("\n-77\n"), std::string::npos);
    EXPECT_EQ(dir.names(), std::vector<std::string>{name});
}

// Another program changed the document's file after it was opened: Save asks first, "No"
// (the default) keeps both the file and the document, and "Replace" writes it.
struct ChangedOnDiskCase {
    const char* name;
    std::function<void(const std::string& path)> change;
    bool asks;
};

class ChangedOnDiskTest : public LifecycleTest,
                          public ::testing::WithParamInterface<ChangedOnDiskCase> {};

TEST_P(ChangedOnDiskTest, SaveAsksBeforeItWritesOverTheChange)
{
    const ChangedOnDiskCase& c = GetParam();
    const std::string path = dir.file("budget.dat");
    TempDir::write(path, TempDir::read(fixture("budget.dat")));
    frmMain& m = startWithFile(path);
    m.Player[1].Position = -77;
    m.FileChanged = true;
    c.change(path);
    const bool gone = !std::filesystem::exists(path);
    const std::string theirs = gone ? std::string() : TempDir::read(path);

    ModalScript script;
    if (c.asks) {
        script.expect(Kind::Question, [](const ModalRequest& r) {
            EXPECT_NE(r.message.find("\"budget.dat\""), std::string::npos) << r.message;
            EXPECT_EQ(r.buttons, (std::vector<std::string>{"Replace", "", "No"}));
            EXPECT_EQ(r.defaultChoice, 2) << "No is the default";
            return ModalAnswer::button(2);
        });
        EXPECT_TRUE(pt::chooseMenuItem("FileSave"));
        EXPECT_TRUE(script.done());
        EXPECT_TRUE(m.FileChanged);
        EXPECT_EQ(TempDir::read(path), theirs) << "the other program's file is kept";
        script.question(0);
    }
    EXPECT_TRUE(pt::chooseMenuItem("FileSave"));
    EXPECT_TRUE(script.done());
    EXPECT_FALSE(m.FileChanged);
    EXPECT_NE(TempDir::read(path).find("\n-77\n"), std::string::npos);

    // Written by this document now: the next Save asks nothing.
    m.Player[1].Position = -78;
    m.FileChanged = true;
    EXPECT_TRUE(pt::chooseMenuItem("FileSave"));
    EXPECT_NE(TempDir::read(path).find("\n-78\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ChangedOnDiskTest,
    ::testing::Values(
        ChangedOnDiskCase{"ReplacedByAnotherFile",
                          [](const std::string& path) {
                              TempDir::write(path + ".synced", "a colleague's version\n");
                              std::filesystem::rename(path + ".synced", path);
                          },
                          true},
        ChangedOnDiskCase{
            "WrittenInPlace",
            [](const std::string& path) { std::ofstream(path, std::ios::app) << "more\n"; }, true},
        ChangedOnDiskCase{"Removed", [](const std::string& path) { std::filesystem::remove(path); },
                          false},
        ChangedOnDiskCase{"Untouched", [](const std::string&) {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LifecycleTest, TheSavePromptComesOnlyWithUnsavedChanges)
{
    frmMain& m = startWithFile(fixture("budget.dat"));
    ModalScript script;
    defineCentralIssue(script, "Fresh");
    m._FileNew_Action();
    EXPECT_TRUE(script.done()) << "no prompt: nothing was unsaved";
    EXPECT_EQ(m.Player[0].Name, "Fresh");
    EXPECT_EQ(m.title(), "Varnholt");
    EXPECT_EQ(m.NumPlayer, 0);

    script.window([](platform::Window& w) {
        frmSave& s = dynamic_cast<frmSave&>(w);
        EXPECT_EQ(s.title(), "Save your data");
        s.PushButton2->push(); // No
    });
    defineCentralIssue(script, "Again");
    m._FileNew_Action();
    EXPECT_EQ(m.Player[0].Name, "Again");
}

// A new diagram's central issue stands in the middle of the map at any window size: in the
// middle of the canvas it is drawn on, not at the canvas's pixel size taken as model units.
TEST_F(LifecycleTest, ANewDiagramInALargeWindowHasItsCentralIssueInTheMiddle)
{
    frmMain& m = startWithFile(fixture("budget.dat"));
    m.setSize(1920, 1080);
    pt::finishPaints();
    ASSERT_EQ(m.width(), 1920);
    ModalScript script;
    defineCentralIssue(script, "Fresh");
    m._FileNew_Action();
    ASSERT_TRUE(script.done());
    EXPECT_EQ(m.Player[0].x, 353) << "the same model place as at the design size";
    EXPECT_EQ(m.Player[0].y, 271);
    m.Canvas1->refresh();
    pt::finishPaints();
    const platform::Rect box = m.BoxOnCanvas(m.Player[0]);
    EXPECT_NEAR(box.left + box.width / 2, m.Canvas1->width() / 2, 40);
    EXPECT_NEAR(box.top + box.height / 2, m.Canvas1->height() / 2, 30);
}

TEST_F(LifecycleTest, TheSavePromptAndTheNewCentralIssueOpenCentredOverTheMainWindow)
{
    frmMain& m = startWithNewDiagram();
    m.setLeft(120);
    m.setTop(90);
    ModalScript script;
    for (int i = 0; i < 2; ++i)
        script.window([&m](platform::Window& w) {
            EXPECT_TRUE(testsupport::IsCentredOver(w, m));
            if (auto* prompt = dynamic_cast<frmSave*>(&w))
                prompt->PushButton2->push(); // No
            else
                dynamic_cast<frmDetails&>(w).PushButton1->push();
        });
    m._FileNew_Action();
    EXPECT_TRUE(script.done());
}

TEST_F(LifecycleTest, ASavePromptWhoseSaveFailsStopsNewOpenAndQuit)
{
    frmMain& m = startWithNewDiagram("Keep me");
    auto okThenCancel = [](ModalScript& script) {
        script.window([](platform::Window& w) { dynamic_cast<frmSave&>(w).PushButton1->push(); });
        script.cancel(Kind::SaveFile).message("Problem creating file ...");
    };
    ModalScript script;
    okThenCancel(script);
    m._FileNew_Action();
    okThenCancel(script);
    m._FileOpen_Action();
    okThenCancel(script);
    m.close();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(m.Player[0].Name, "Keep me");
    EXPECT_TRUE(m.FileChanged);
    EXPECT_FALSE(m.isClosed()) << "the quit was called off";
    EXPECT_FALSE(platform::Application::quitRequested());
}

// Escape and the close box back out of the save prompt: the command that asked goes no
// further, and the document stays as it was, unsaved.
struct BackOutCase {
    const char* name;
    const char* command;
    bool escape; ///< else the close box
};

class SavePromptBackOutTest : public LifecycleTest,
                              public ::testing::WithParamInterface<BackOutCase> {};

TEST_P(SavePromptBackOutTest, LeavesTheDocumentAndStopsTheCommand)
{
    const BackOutCase& c = GetParam();
    frmMain& m = startWithNewDiagram("Keep me");
    m.Player[0].Position = 33;
    ModalScript script;
    script.window([&c](platform::Window& w) {
        ASSERT_EQ(w.title(), "Save your data");
        if (c.escape)
            pt::typeKey(w, "Escape");
        else
            pt::clickCloseBox(w);
        EXPECT_TRUE(w.isClosed());
    });
    EXPECT_TRUE(pt::chooseMenuItem(c.command));
    EXPECT_TRUE(script.done()) << "nothing but the prompt was shown";
    EXPECT_FALSE(m.isClosed());
    EXPECT_FALSE(platform::Application::quitRequested());
    EXPECT_EQ(m.NumPlayer, 0);
    EXPECT_EQ(m.Player[0].Name, "Keep me");
    EXPECT_EQ(m.Player[0].Position, 33);
    EXPECT_TRUE(m.FileChanged);
    EXPECT_EQ(m.title(), "Varnholt");
    EXPECT_TRUE(dir.names().empty()) << "nothing was saved";

    // "No" still lets the command go on.
    script.window([](platform::Window& w) { dynamic_cast<frmSave&>(w).PushButton2->push(); });
    if (std::string(c.command) == "FileNew")
        defineCentralIssue(script, "Fresh");
    else if (std::string(c.command) == "FileOpen")
        script.openFile(fixture("budget.dat"));
    EXPECT_TRUE(pt::chooseMenuItem(c.command));
    EXPECT_TRUE(script.done());
    if (std::string(c.command) == "FileQuit")
        EXPECT_TRUE(m.isClosed());
    else
        EXPECT_NE(m.Player[0].Name, "Keep me");
}

INSTANTIATE_TEST_SUITE_P(Ways, SavePromptBackOutTest,
                         ::testing::Values(BackOutCase{"EscapeAtNew", "FileNew", true},
                                           BackOutCase{"CloseBoxAtNew", "FileNew", false},
                                           BackOutCase{"EscapeAtOpen", "FileOpen", true},
                                           BackOutCase{"CloseBoxAtOpen", "FileOpen", false},
                                           BackOutCase{"EscapeAtQuit", "FileQuit", true},
                                           BackOutCase{"CloseBoxAtQuit", "FileQuit", false}),
                         [](const auto& info) { return info.param.name; });

TEST_F(LifecycleTest, ExportWritesFourFieldsPerPlayer)
{
    frmMain& m = startWithFile(fixture("budget.dat"));
    ModalScript script;
    script.expect(Kind::SaveFile, [&](const ModalRequest& r) {
        EXPECT_EQ(r.filter, "special/any");
        EXPECT_EQ(r.defaultName, "Export.dat");
        return ModalAnswer::file(dir.file("Export.dat"));
    });
    EXPECT_TRUE(pt::chooseMenuItem("FileExportData"));
    EXPECT_EQ(TempDir::read(dir.file("Export.dat")),
              "Budget\t\t-10\t40\nUnions\tStaff side\t-40\t70\n");
    EXPECT_FALSE(m.FileChanged);
    script.cancel(Kind::SaveFile);
    m._FileExportData_Action();
}

TEST_F(LifecycleTest, AMissingDatabaseIsReportedAndTheFileStillLoads)
{
    const std::string path = dir.file("with.db.dat");
    std::string text = TempDir::read(fixture("budget.dat"));
    text.replace(text.find("false"), 5, "true");
    TempDir::write(path, text);
    frmMain& m = startWithNewDiagram();
    m.FileChanged = false;
    ModalScript script;
    script.openFile(path).message("Can't find assocaite database file.");
    m._FileOpen_Action();
    EXPECT_EQ(m.NumPlayer, 1);
    EXPECT_TRUE(m.HasDB);

    // New leaves no database behind: a new diagram is saved without one.
    defineCentralIssue(script, "Unrelated");
    m._FileNew_Action();
    EXPECT_FALSE(m.HasDB);
}

TEST_F(LifecycleTest, TheDatabaseIsLookedUpBesideTheDataFile)
{
    const std::string path = dir.file("with.db.dat");
    std::string text = TempDir::read(fixture("budget.dat"));
    text.replace(text.find("false"), 5, "true");
    TempDir::write(path, text);
    TempDir::write(dir.file("with.rsd"), "");
    frmMain& m = startWithFile(path);
    ASSERT_TRUE(m.db);
    EXPECT_EQ(m.db->databaseFile().absolutePath(), dir.file("with.rsd"));
    EXPECT_TRUE(m.db->isConnected());
}

// A pipe that nobody writes into where the database would be: the document opens at once,
// with no database connected.
TEST_F(LifecycleTest, ADatabaseThatIsAPipeIsNotWaitedFor)
{
    const std::string path = dir.file("with.dat");
    std::string text = TempDir::read(fixture("budget.dat"));
    text.replace(text.find("false"), 5, "true");
    TempDir::write(path, text);
    ASSERT_EQ(mkfifo(dir.file("with.rsd").c_str(), 0600), 0);
    frmMain& m = startWithFile(path);
    EXPECT_EQ(m.NumPlayer, 1);
    EXPECT_EQ(m.title(), "Varnholt - with.dat");
    ASSERT_TRUE(m.db);
    EXPECT_FALSE(m.db->isConnected());
}

TEST_F(LifecycleTest, ThePreferencesFileIsCreatedAtStartUpAndRecordsOpenAndSave)
{
    frmMain& m = startWithNewDiagram();
    EXPECT_EQ(TempDir::read(prefsPath()), "?\n\n") << "created when missing";
    m.FileChanged = false;
    m.close();
    EXPECT_EQ(TempDir::read(prefsPath()), "?\n" + platform::File().absolutePath() + "\n")
        << "the default location, recorded at quit";
}

// The next start-up offers the newest version of the work: the file Save As wrote, also
// when a plain Save wrote an older one before it, and a cancelled Save As changes nothing.
TEST_F(LifecycleTest, ThePreferencesFileRecordsTheFileSaveAsWrote)
{
    TempDir::write(prefsPath(), "?\n\n");
    frmMain& m = startWithFile(fixture("budget.dat"));
    ModalScript script;
    script.saveFile(dir.file("elsewhere.dat"));
    m._FileSaveSet_Action();
    script.cancel(Kind::SaveFile).message("Problem creating file ...");
    m._FileSaveSet_Action();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(m.WorkingFolderSave.absolutePath(), dir.file("elsewhere.dat"));
    m.close();
    EXPECT_EQ(TempDir::read(prefsPath()), "?\n" + dir.file("elsewhere.dat") + "\n");
    EXPECT_TRUE(platform::Application::quitRequested());
}

TEST_F(LifecycleTest, ThePreferencesFileRecordsWhereSaveWrote)
{
    TempDir::write(prefsPath(), "?\n" + fixture("budget.dat") + "\n");
    frmMain& m = startWithNewDiagram();
    EXPECT_EQ(m.WorkingFolderSave.absolutePath(), fixture("budget.dat")) << "line 2 read";
    ModalScript script;
    script.saveFile(dir.file("saved.dat"));
    m._FileSave_Action();
    m.Player[0].Position = 1;
    m._FileSave_Action(); // now titled: written to its path and recorded
    m.close();
    EXPECT_EQ(TempDir::read(prefsPath()), "?\n" + dir.file("saved.dat") + "\n");
}

TEST_F(LifecycleTest, AnUntouchedPreferencesFileIsNotRewritten)
{
    TempDir::write(prefsPath(), "?\n/no/such/file.dat\n");
    frmMain& m = startWithNewDiagram();
    EXPECT_EQ(m.WorkingFolderSave.absolutePath(), "/no/such/file.dat");
    m.FileChanged = false;
    m.close();
    EXPECT_EQ(TempDir::read(prefsPath()), "?\n/no/such/file.dat\n");
}

TEST_F(LifecycleTest, APreferencesFileThatCannotBeWrittenAtQuitIsReportedAndKept)
{
    TempDir::write(prefsPath(), "?\n/earlier/file.dat\n");
    frmMain& m = startWithFile(fixture("budget.dat"));
    ModalScript script;
    script.message(kPrefsNotKept);
    {
        testsupport::FileSizeLimit limit(8); // less than its first two lines
        m.close();
    }
    EXPECT_TRUE(script.done());
    EXPECT_TRUE(platform::Application::quitRequested()) << "the program still quits";
    EXPECT_EQ(TempDir::read(prefsPath()), "?\n/earlier/file.dat\n");
    EXPECT_EQ(TempDir::names(std::getenv("XDG_CONFIG_HOME")),
              std::vector<std::string>{"KestrixPrefs"})
        << "no temporary file is left";
}

TEST_F(LifecycleTest, APreferencesFileThatIsAFolderIsSaidToBeThePreferencesAtQuit)
{
    std::filesystem::create_directories(prefsPath());
    frmMain& m = startWithFile(fixture("budget.dat"));
    EXPECT_EQ(m.WorkingFolderSave.absolutePath(), fixture("budget.dat"));
    ModalScript script;
    script.message(kPrefsNotKept);
    m.close();
    EXPECT_TRUE(script.done());
    EXPECT_TRUE(platform::Application::quitRequested());
    EXPECT_TRUE(std::filesystem::is_directory(prefsPath())) << "left as it was";
}

// A configuration folder the user may not write (root's): the preferences cannot be made at
// start-up, and the message says that it is the preferences.
TEST_F(LifecycleTest, PreferencesThatCannotBeMadeAtStartUpAreSaidToBeThePreferences)
{
    frmMain& m = startWithNewDiagram();
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    const std::string config = dir.file("config");
    ASSERT_TRUE(std::filesystem::create_directory(config));
    const int result = testsupport::RunAsNobody([&] {
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        ModalScript script;
        script.message(kPrefsNotKept);
        m.ReadOrCreatePrefsFile();
        // The child's failures, such as another message, show only in its exit code.
        return script.done() && !HasFailure() ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(TempDir::names(config).empty());
}

class LargePrefsTest : public LifecycleTest, public ::testing::WithParamInterface<const char*> {};

// A gigabyte in the place of the preferences file, of zeros alone or after the lines of one:
// the start-up passes it over, as one that cannot be read, without reading it, and leaves it
// as it was. In a child with two seconds of processor time, where reading it all takes ten.
TEST_P(LargePrefsTest, IsPassedOverAtStartUpUnread)
{
    frmMain& m = startWithNewDiagram();
    constexpr uint64_t kGigabyte = uint64_t{1} << 30;
    TempDir::writeSparse(prefsPath(), GetParam(), kGigabyte);
    const int result = testsupport::RunWithinCpuTime(2, [&] {
        m.WorkingFolderSave = platform::File("/elsewhere");
        m.PrefsFileChanged = false;
        const uint64_t before = bytesReadByThisProcess();
        m.ReadOrCreatePrefsFile();
        if (bytesReadByThisProcess() - before > kPrefsFileLimit)
            return 1;
        return m.WorkingFolderSave == platform::File() && !m.PrefsFileChanged ? 0 : 2;
    });
    EXPECT_EQ(result, 0) << "-1: out of time; 1: read too much; 2: not passed over";
    EXPECT_EQ(std::filesystem::file_size(prefsPath()), kGigabyte);
}

INSTANTIATE_TEST_SUITE_P(Starts, LargePrefsTest, ::testing::Values("", "?\n/data/budget.dat\n"));

TEST_F(LifecycleTest, AnEmptySecondLineFallsBackToTheHomeFolder)
{
    TempDir::write(prefsPath(), "?\n\n");
    frmMain& m = startWithNewDiagram();
    EXPECT_EQ(m.WorkingFolderSave.absolutePath(), platform::File().absolutePath());
}

TEST_F(LifecycleTest, QuitByTheMenuRunsTheCloseWorkOnce)
{
    frmMain& m = startWithNewDiagram();
    ModalScript script;
    script.window([](platform::Window& w) { dynamic_cast<frmSave&>(w).PushButton2->push(); });
    EXPECT_TRUE(pt::chooseMenuItem("FileQuit"));
    EXPECT_TRUE(script.done()) << "one save prompt";
    EXPECT_TRUE(m.isClosed());
    EXPECT_TRUE(platform::Application::quitRequested());
}

// Whether the swing-o-meter and the force field are showing when the user quits.
class QuitTest : public LifecycleTest, public ::testing::WithParamInterface<bool> {};

TEST_P(QuitTest, QuitByTheCloseBoxClosesTheSwingometerAndTheForceField)
{
    const bool showing = GetParam();
    frmMain& m = startWithFile(fixture("budget.dat"));
    ASSERT_TRUE(wSwing::exists()) << "built hidden at start-up";
    m.PushButton3->push();
    ASSERT_TRUE(ffield::exists());
    if (showing)
        m._ShowSwingometer_Action();
    else
        ffield::instance().PushButton1->push(); // "Close" only hides it
    ASSERT_EQ(wSwing::instance().isVisible(), showing);
    ASSERT_EQ(ffield::instance().isVisible(), showing);
    ASSERT_TRUE(m.ffing);

    pt::clickCloseBox(m); // the main window is gone once this returns
    EXPECT_TRUE(platform::Application::quitRequested());
    EXPECT_FALSE(wSwing::exists());
    EXPECT_FALSE(ffield::exists());
}

INSTANTIATE_TEST_SUITE_P(Windows, QuitTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Showing" : "Hidden"; });

TEST_F(LifecycleTest, AfterANewDiagramOneSwingometerCommandShowsTheGauge)
{
    frmMain& m = startWithNewDiagram(); // "Average Colour" ticked, as a new diagram has it
    ASSERT_TRUE(m.AveColour);
    EXPECT_FALSE(wSwing::exists() && wSwing::instance().isVisible());
    EXPECT_TRUE(pt::chooseMenuItem("ShowSwingometer"));
    pt::processEvents();
    EXPECT_TRUE(wSwing::exists() && wSwing::instance().isVisible()) << "the first command";
    EXPECT_TRUE(m.Swinging);
    EXPECT_TRUE(pt::chooseMenuItem("ShowSwingometer"));
    pt::processEvents();
    EXPECT_FALSE(wSwing::instance().isVisible()) << "the second hides it again";
    EXPECT_FALSE(m.Swinging);
}

TEST_F(LifecycleTest, OpenSwitchesTheSwingometerOffAndLeavesItsWindow)
{
    frmMain& m = startWithFile(fixture("budget.dat"));
    m._ShowSwingometer_Action();
    ASSERT_TRUE(m.Swinging);
    ModalScript script;
    script.openFile(fixture("budget.dat"));
    EXPECT_TRUE(pt::chooseMenuItem("FileOpen"));
    EXPECT_TRUE(script.done());
    EXPECT_FALSE(m.Swinging);
    EXPECT_TRUE(wSwing::exists() && wSwing::instance().isVisible()) << "left where it is";
}

} // namespace
