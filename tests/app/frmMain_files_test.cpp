// Writes of the main window that fail part-way, under a real file-size limit, and data files
// cut short.

#include "app/frmMain.h"
#include "app/frmSave.h"

#include "tests/support/app_fixture.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

namespace {

namespace pt = platform::testing;
using testsupport::FileSizeLimit;
using testsupport::Kind;
using testsupport::ModalScript;
using testsupport::TempDir;

constexpr const char* kProblemCreatingFile = "Problem creating file ...";
// Fewer bytes than any of the files below: every write stops inside its first line.
constexpr uint64_t kLimit = 16;

std::string fixture(const std::string& name)
{
    return TempDir::read(std::string(KESTRIX_FIXTURES) + "/" + name);
}

void pushSavePromptOk(ModalScript& script)
{
    script.window([](platform::Window& w) { dynamic_cast<frmSave&>(w).PushButton1->push(); });
}

// A document opened from "doc.dat" and then changed: what a failed write must leave as it is.
class WriteFailureTest : public testsupport::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        TempDir::write(doc, fixture("budget.dat"));
        ModalScript script;
        script.openFile(doc);
        EXPECT_TRUE(pt::chooseMenuItem("FileOpen"));
        main().Player[1].Position = 55;
        main().FileChanged = true;
    }

    void expectDocumentAsItWas()
    {
        EXPECT_TRUE(main().FileChanged);
        EXPECT_EQ(main().InFileName, "doc.dat");
        EXPECT_EQ(main().InFilePath, doc);
        EXPECT_EQ(main().title(), "Varnholt - doc.dat");
        EXPECT_EQ(main().Player[1].Position, 55);
        EXPECT_EQ(TempDir::read(doc), fixture("budget.dat")) << "the old file, byte for byte";
    }

    TempDir dir;
    const std::string doc = dir.file("doc.dat");
};

TEST_F(WriteFailureTest, SaveKeepsTheOldFileAndTheChanges)
{
    const platform::File recorded = main().WorkingFolderSave;
    ModalScript script;
    script.message(kProblemCreatingFile);
    {
        FileSizeLimit limit(kLimit);
        EXPECT_TRUE(pt::chooseMenuItem("FileSave"));
    }
    EXPECT_TRUE(script.done());
    expectDocumentAsItWas();
    EXPECT_EQ(main().WorkingFolderSave, recorded);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"doc.dat"}) << "no temporary file is left";
}

TEST_F(WriteFailureTest, SaveAsKeepsTheNameAndTheFileItWouldHaveReplaced)
{
    const std::string other = dir.file("other.dat");
    TempDir::write(other, "the other file\n");
    ModalScript script;
    script.saveFile(other).message(kProblemCreatingFile);
    script.saveFile(dir.file("new.dat")).message(kProblemCreatingFile);
    {
        FileSizeLimit limit(kLimit);
        EXPECT_TRUE(pt::chooseMenuItem("FileSaveSet"));
        EXPECT_TRUE(pt::chooseMenuItem("FileSaveSet"));
    }
    EXPECT_TRUE(script.done());
    expectDocumentAsItWas();
    EXPECT_EQ(TempDir::read(other), "the other file\n");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"doc.dat", "other.dat"}))
        << "no new file and no temporary file";
}

TEST_F(WriteFailureTest, TheSavePromptsFailedSaveCallsOffTheQuitAndTheNextQuitAsksAgain)
{
    ModalScript script;
    pushSavePromptOk(script);
    script.saveFile(doc).message(kProblemCreatingFile);
    {
        FileSizeLimit limit(kLimit);
        main().close();
    }
    EXPECT_TRUE(script.done());
    EXPECT_FALSE(main().isClosed());
    expectDocumentAsItWas();

    pushSavePromptOk(script);
    script.saveFile(doc);
    main().close();
    EXPECT_TRUE(script.done()) << "asked again, and saved this time";
    EXPECT_TRUE(main().isClosed());
    EXPECT_NE(TempDir::read(doc).find("\n55\n"), std::string::npos);
}

TEST_F(WriteFailureTest, ExportDataKeepsTheOldExport)
{
    const std::string exported = dir.file("Export.dat");
    TempDir::write(exported, "an earlier export\n");
    ModalScript script;
    script.saveFile(exported).message(kProblemCreatingFile);
    {
        FileSizeLimit limit(kLimit);
        EXPECT_TRUE(pt::chooseMenuItem("FileExportData"));
    }
    EXPECT_TRUE(script.done());
    expectDocumentAsItWas();
    EXPECT_EQ(TempDir::read(exported), "an earlier export\n");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"Export.dat", "doc.dat"}));
}

TEST_F(WriteFailureTest, SaveOfAnUntitledDocumentStaysUntitled)
{
    testsupport::LoadDocument(main(), {{"Budget"}});
    main().InFileName.clear();
    main().InFilePath.clear();
    main().SetTitleForFile("");
    main().FileChanged = true;
    ModalScript script;
    script.saveFile(dir.file("Kestrix.dat")).message(kProblemCreatingFile);
    {
        FileSizeLimit limit(kLimit);
        EXPECT_TRUE(pt::chooseMenuItem("FileSave"));
    }
    EXPECT_TRUE(script.done());
    EXPECT_TRUE(main().FileChanged);
    EXPECT_EQ(main().InFileName, "");
    EXPECT_EQ(main().title(), "Varnholt");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"doc.dat"});
}

struct CutCase {
    const char* what;
    size_t linesKept; ///< of budget.dat's 22
    bool reported;
};

void PrintTo(const CutCase& c, std::ostream* os)
{
    *os << c.what;
}

class CutFileTest : public testsupport::AppTest, public ::testing::WithParamInterface<CutCase> {};

// The document is read as far as the file goes, as before; a file cut short is then reported
// once, over the document it gave.
TEST_P(CutFileTest, AFileCutShortIsReportedOnceItIsRead)
{
    TempDir dir;
    const std::string whole = fixture("budget.dat");
    size_t end = 0;
    for (size_t i = 0; i < GetParam().linesKept; ++i)
        end = whole.find('\n', end) + 1;
    const std::string path = dir.file("cut.dat");
    TempDir::write(path, whole.substr(0, end));

    ModalScript script;
    script.openFile(path);
    if (GetParam().reported) {
        script.expect(Kind::Message, [this](const testsupport::ModalRequest& r) {
            EXPECT_EQ(r.message,
                      "This file ends early and may be damaged: what it lacks has been left "
                      "empty.");
            EXPECT_EQ(main().title(), "Varnholt - cut.dat") << "shown once the document is read";
            return testsupport::ModalAnswer::ok();
        });
    }
    EXPECT_TRUE(pt::chooseMenuItem("FileOpen"));
    EXPECT_TRUE(script.done());
    EXPECT_EQ(main().NumPlayer, 1);
    EXPECT_FALSE(main().FileChanged);
    EXPECT_EQ(main().title(), "Varnholt - cut.dat");
}

INSTANTIATE_TEST_SUITE_P(Cuts, CutFileTest,
                         ::testing::Values(CutCase{"whole", 22, false},
                                           CutCase{"without its last line", 21, true},
                                           CutCase{"without its link row", 20, true},
                                           CutCase{"inside a player block", 13, true},
                                           CutCase{"after the count", 2, true}));

struct TailCase {
    const char* what;
    const char* tail; ///< after the whole of budget.dat
    bool reported;
};

void PrintTo(const TailCase& c, std::ostream* os)
{
    *os << c.what;
}

class TextAfterTheDocumentTest : public testsupport::AppTest,
                                 public ::testing::WithParamInterface<TailCase> {};

// Text after the document's last line is not part of it, and the next Save would drop it: the
// user is told once the document is read. Empty lines after it lose nothing.
TEST_P(TextAfterTheDocumentTest, IsReportedOnceTheDocumentIsRead)
{
    TempDir dir;
    const std::string path = dir.file("long.dat");
    TempDir::write(path, fixture("budget.dat") + GetParam().tail);

    ModalScript script;
    script.openFile(path);
    if (GetParam().reported) {
        script.expect(Kind::Message, [this](const testsupport::ModalRequest& r) {
            EXPECT_EQ(r.message, "This file goes on after the end of the document: what follows "
                                 "it has not been read, and saving will leave it out.");
            EXPECT_EQ(main().title(), "Varnholt - long.dat") << "shown once the document is read";
            return testsupport::ModalAnswer::ok();
        });
    }
    EXPECT_TRUE(pt::chooseMenuItem("FileOpen"));
    EXPECT_TRUE(script.done());
    EXPECT_EQ(main().NumPlayer, 1);
    EXPECT_EQ(main().Player[1].Name, "Unions");
    EXPECT_FALSE(main().FileChanged);
    EXPECT_EQ(main().title(), "Varnholt - long.dat");
}

INSTANTIATE_TEST_SUITE_P(
    Tails, TextAfterTheDocumentTest,
    ::testing::Values(TailCase{"nothing", "", false}, TailCase{"empty lines", "\n\r\n\r\n", false},
                      TailCase{"another document", "Varnholt Data\tfalse\n-1\n", true},
                      TailCase{"text after empty lines", "\n\n\nmore", true},
                      TailCase{"a line of spaces", "  \n", true}));

} // namespace
