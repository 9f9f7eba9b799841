#include "app/DataFile.h"
#include "app/frmMain.h"

#include "tests/support/app_fixture.h"
#include "tests/support/failing_read.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"

#include "platform/files.h"
#include "platform/testing.h"
#include "platform/values.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <tuple>

namespace {

std::string Fixture(const std::string& name)
{
    const auto bytes = platform::File(std::string(KESTRIX_FIXTURES) + "/" + name).readAll();
    EXPECT_TRUE(bytes) << name;
    return bytes.value_or("");
}

// The lines of a text the writer made (LF line ends, one after every line).
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> out;
    size_t pos = 0;
    for (size_t end; (end = text.find('\n', pos)) != std::string::npos; pos = end + 1)
        out.push_back(text.substr(pos, end - pos));
    EXPECT_EQ(pos, text.size()) << "text after the last line end";
    return out;
}

// Every field the file stores (Width, Height and the centre come from the box-size rule).
auto Stored(const Player& p)
{
    return std::tuple(p.Name, p.Subtitle, p.KeyMsg, p.x, p.y, p.Position, p.Importance, p.LinkMain,
                      p.Unknown);
}

DataFileContents ReadOrFail(std::string_view bytes)
{
    std::optional<DataFileContents> c = ReadDataFile(bytes);
    EXPECT_TRUE(c) << "refused";
    return c.value_or(DataFileContents{});
}

// The document of budget.dat, as the main window holds it after a paint.
DataFileContents BudgetDocument()
{
    DataFileContents c;
    c.HasDB = false;
    c.NumPlayer = 1;
    Player issue;
    issue.Name = "Budget";
    issue.x = 353;
    issue.y = 271;
    issue.Width = 62;
    issue.Height = 30;
    issue.Position = -10;
    issue.Importance = 40;
    issue.LinkMain = true;
    Player unions;
    unions.Name = "Unions";
    unions.Subtitle = "Staff side";
    unions.KeyMsg = "Meet them first\rbefore May";
    unions.x = 120;
    unions.y = 80;
    unions.Width = 62;
    unions.Height = 45;
    unions.Position = -40;
    unions.Importance = 70;
    unions.LinkMain = true;
    c.players = {issue, unions};
    c.AveColour = true;
    return c;
}

std::string Replace(std::string s, std::string_view find, std::string_view repl)
{
    return platform::ReplaceAll(s, find, repl);
}

// What Save writes for the document the main window holds.
class DataFileSaveTest : public testsupport::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        const DataFileContents budget = BudgetDocument();
        frmMain& m = main();
        m.HasDB = budget.HasDB;
        m.NumPlayer = budget.NumPlayer;
        m.Player[0] = budget.players[0];
        m.Player[1] = budget.players[1];
        m.AveColour = budget.AveColour;
        // Left over from a larger document: beyond NumPlayer, so never written.
        m.Player[2].Name = "stale";
        m.Links[1][2] = m.Links[2][1] = 60;
        m.FileChanged = true;
    }

    // Saves with File > Save; an untitled document goes to `path` through the save dialog.
    std::vector<std::string> save()
    {
        testsupport::ModalScript script;
        if (main().InFileName.empty())
            script.saveFile(path);
        EXPECT_TRUE(platform::testing::chooseMenuItem("FileSave"));
        EXPECT_TRUE(script.done());
        EXPECT_FALSE(main().FileChanged);
        return Lines(testsupport::TempDir::read(path));
    }

    testsupport::TempDir dir;
    const std::string path = dir.file("saved.dat");
};

TEST_F(DataFileSaveTest, WritesTheDocumentInUseLineForLine)
{
    save();
    EXPECT_EQ(testsupport::TempDir::read(path), Fixture("budget.dat"));
}

TEST_F(DataFileSaveTest, WritesTheFlagsAndLinksTheDocumentHoldsNow)
{
    save();
    main().HasDB = true;
    main().AveColour = false;
    main().Links[1][1] = 35;
    main().Player[1].Width = 99;
    main().FileChanged = true;
    const std::vector<std::string> lines = save();
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines[0], "Varnholt Data\ttrue");
    EXPECT_EQ(lines[15], "99") << "the width the record holds";
    EXPECT_EQ(lines[20], "35,");
    EXPECT_EQ(lines[21], "false");
}

TEST(DataFileReadTest, ReadsEveryFieldOfAKnownFile)
{
    const DataFileContents c = ReadOrFail(Fixture("coalition.dat"));
    EXPECT_TRUE(c.HasDB);
    ASSERT_EQ(c.NumPlayer, 3);
    ASSERT_EQ(c.players.size(), 4u);
    EXPECT_EQ(Stored(c.players[0]),
              Stored(Player{"Hospital closure", 331, 290, 0, 100, 0, 0, 0, 0, true, "Regional plan",
                            false, "Keep the A&E open\rTalk to the board\rBefore winter"}));
    EXPECT_EQ(Stored(c.players[1]),
              Stored(Player{"Nurses", 60, 40, 85, 90, 0, 0, 0, 0, true, "", false, ""}));
    EXPECT_EQ(Stored(c.players[2]), Stored(Player{"Local paper", 520, 70, -30, 55, 0, 0, 0, 0,
                                                  false, "The Courier", true, "Likes a story"}));
    // Values out of their nominal ranges stay as read.
    EXPECT_EQ(Stored(c.players[3]), Stored(Player{"Council", 400, 480, 250, -5, 0, 0, 0, 0, true,
                                                  "Finance committee", true, ""}));
    EXPECT_EQ(c.Links[1][2], 40);
    EXPECT_EQ(c.Links[2][3], 75);
    EXPECT_EQ(c.Links[3][2], 75);
    EXPECT_EQ(c.Links[1][3], 0);
    EXPECT_FALSE(c.AveColour);
}

TEST(DataFileReadTest, SizesAndCentresComeFromTheBoxSizeRule)
{
    const DataFileContents c = ReadOrFail(Fixture("coalition.dat"));
    ASSERT_EQ(c.players.size(), 4u);
    // The file holds the measured widths 131 and 71, and a stale height 45 for Nurses.
    const Player& issue = c.players[0];
    EXPECT_EQ(issue.Width, 7 * 16 + 20);
    EXPECT_EQ(issue.Height, 45);
    EXPECT_EQ(issue.xcentre, 331 + 66);
    EXPECT_EQ(issue.ycentre, 290 + 22) << "22.5 truncated";
    const Player& nurses = c.players[1];
    EXPECT_EQ(nurses.Width, 62);
    EXPECT_EQ(nurses.Height, 30);
    EXPECT_EQ(nurses.xcentre, 60 + 31);
    EXPECT_EQ(nurses.ycentre, 40 + 15);
}

class DataFileRoundTripTest : public ::testing::TestWithParam<const char*> {};

TEST_P(DataFileRoundTripTest, ReadThenWriteKeepsEveryLineButTheSizes)
{
    const std::vector<std::string> original = Lines(Fixture(GetParam()));
    const DataFileContents c = ReadOrFail(Fixture(GetParam()));
    const std::vector<std::string> written = Lines(WriteDataFile(c));
    ASSERT_EQ(written.size(), original.size());
    for (size_t line = 0; line < written.size(); ++line) {
        const bool inPlayerBlock = line >= 2 && line < 2 + 9 * c.players.size();
        const size_t inBlock = (line - 2) % 9;
        if (inPlayerBlock && (inBlock == 4 || inBlock == 5)) {
            const Player& p = c.players[(line - 2) / 9];
            EXPECT_EQ(written[line], platform::Str(inBlock == 4 ? p.Width : p.Height));
        } else {
            EXPECT_EQ(written[line], original[line]) << "line " << line + 1;
        }
    }
    // Once the sizes are the rule's, a second pass changes nothing.
    EXPECT_EQ(WriteDataFile(ReadOrFail(WriteDataFile(c))), WriteDataFile(c));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DataFileRoundTripTest,
                         ::testing::Values("budget.dat", "coalition.dat"));

TEST(DataFileReadTest, AFullDocumentComesBackWhole)
{
    DataFileContents c;
    c.HasDB = true;
    c.NumPlayer = kPlayerLimit;
    for (int32_t i = 0; i <= kPlayerLimit; ++i) {
        Player p;
        p.Name = "Player " + std::to_string(i);
        p.Subtitle = i % 2 ? "odd" : "";
        p.KeyMsg = i % 3 ? "" : "first\rsecond";
        p.x = 10 * i - 100;
        p.y = 7 * i;
        p.Position = 4 * i - 100;
        p.Importance = 2 * i;
        p.LinkMain = i % 2 == 0;
        p.Unknown = i % 5 == 0;
        c.players.push_back(p);
        for (int32_t j = 1; j <= kPlayerLimit; ++j)
            if (i > 0)
                c.Links[i][j] = (i * j) % 101;
    }
    const std::string text = WriteDataFile(c);
    EXPECT_EQ(Lines(text).size(), size_t{10 * kPlayerLimit + 12});
    const DataFileContents back = ReadOrFail(text);
    EXPECT_TRUE(back.HasDB);
    ASSERT_EQ(back.NumPlayer, kPlayerLimit);
    ASSERT_EQ(back.players.size(), c.players.size());
    for (size_t i = 0; i < c.players.size(); ++i)
        EXPECT_EQ(Stored(back.players[i]), Stored(c.players[i])) << "player " << i;
    EXPECT_EQ(back.Links, c.Links);
}

struct KeyMsgCase {
    const char* keyMsg;
    const char* writtenLine;
    const char* readBack;
};

void PrintTo(const KeyMsgCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.keyMsg));
}

class DataFileKeyMsgTest : public ::testing::TestWithParam<KeyMsgCase> {};

TEST_P(DataFileKeyMsgTest, StoresLineBreaksOnOneLine)
{
    DataFileContents c = BudgetDocument();
    c.players[1].KeyMsg = GetParam().keyMsg;
    const std::string text = WriteDataFile(c);
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines[12], GetParam().writtenLine);
    EXPECT_EQ(lines[13], "120") << "the lines after it stay in place";
    const DataFileContents back = ReadOrFail(text);
    EXPECT_EQ(back.players[1].KeyMsg, GetParam().readBack);
    EXPECT_EQ(back.players[1].x, 120);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataFileKeyMsgTest,
    ::testing::Values(
        KeyMsgCase{"one\rtwo\rthree", "Staff side\tone^&*two^&*three", "one\rtwo\rthree"},
        KeyMsgCase{"one\ntwo\r\nthree", "Staff side\tone^&*two^&*three", "one\rtwo\rthree"},
        KeyMsgCase{"\r\r", "Staff side\t^&*^&*", "\r\r"},
        // A tab would end the key message's field.
        KeyMsgCase{"one\ttwo", "Staff side\tone two", "one two"},
        // The format has no escape for its own marker.
        KeyMsgCase{"a^&*b", "Staff side\ta^&*b", "a\rb"}));

struct OneLineCase {
    const char* name;
    const char* subtitle;
    const char* nameLine;
    const char* textsLine;
};

void PrintTo(const OneLineCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.name)) << " / "
        << ::testing::PrintToString(std::string(c.subtitle));
}

class DataFileOneLineTest : public ::testing::TestWithParam<OneLineCase> {};

TEST_P(DataFileOneLineTest, KeepsNameAndSubtitleOnTheirLines)
{
    DataFileContents c = BudgetDocument();
    c.players[1].Name = GetParam().name;
    c.players[1].Subtitle = GetParam().subtitle;
    const std::string text = WriteDataFile(c);
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines[11], GetParam().nameLine);
    EXPECT_EQ(lines[12], GetParam().textsLine);
    const DataFileContents back = ReadOrFail(text);
    EXPECT_EQ(back.players[1].Name, GetParam().nameLine);
    EXPECT_EQ(back.players[1].KeyMsg, "Meet them first\rbefore May");
    EXPECT_EQ(back.players[1].Position, -40);
    EXPECT_TRUE(back.AveColour);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataFileOneLineTest,
    ::testing::Values(
        OneLineCase{"Un\nions", "Staff", "Un ions", "Staff\tMeet them first^&*before May"},
        OneLineCase{"Un\r\nions", "Staff", "Un ions", "Staff\tMeet them first^&*before May"},
        OneLineCase{"Un\rions", "Staff", "Un ions", "Staff\tMeet them first^&*before May"},
        OneLineCase{"Unions", "Staff\nside", "Unions", "Staff side\tMeet them first^&*before May"},
        OneLineCase{"Unions", "Staff\tside", "Unions", "Staff side\tMeet them first^&*before May"},
        // A tab in a name does not shift anything: the name has its line to itself.
        OneLineCase{"Un\tions", "", "Un\tions", "\tMeet them first^&*before May"}));

struct RefusalCase {
    const char* label;
    const char* text;
};

void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << c.label;
}

class DataFileRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(DataFileRefusalTest, RefusesWhatIsNotADataFile)
{
    EXPECT_FALSE(ReadDataFile(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataFileRefusalTest,
    ::testing::Values(RefusalCase{"Empty", ""},
                      RefusalCase{"NoHeader", "Kestrix\tfalse\n0\nBudget\n"},
                      RefusalCase{"HeaderOnSecondLine", "\nVarnholt Data\tfalse\n-1\nfalse\n"},
                      RefusalCase{"Count51", "Varnholt Data\tfalse\n51\n"},
                      RefusalCase{"CountMinus2", "Varnholt Data\tfalse\n-2\n"},
                      RefusalCase{"Count1e12", "Varnholt Data\tfalse\n1e12\n"},
                      RefusalCase{"CountMinus1e12", "Varnholt Data\tfalse\n-1e12\n"},
                      RefusalCase{"Count2Pow32", "Varnholt Data\tfalse\n4294967296\n"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(DataFileReadTest, AFirstLineLongerThanAHeaderIsRefused)
{
    const std::string padding(kHeaderLineLimit, ' ');
    EXPECT_FALSE(ReadDataFile(padding + "Varnholt Data\tfalse\n-1\nfalse\n"));
    EXPECT_TRUE(ReadDataFile(padding.substr(13) + "Varnholt Data\n-1\nfalse\n"));
}

// A gigabyte named like a data file that is none: its first line decides, and no more than
// that line's bound and one chunk of the file is read.
TEST(DataFileReadTest, ALargeFileIsRefusedFromItsFirstLine)
{
    testsupport::TempDir dir;
    const std::string path = dir.file("wrong.dat");
    for (const std::string start : {"", "PK\x03\x04\n", "Some other file\n"}) {
        testsupport::TempDir::writeSparse(path, start, uint64_t{1} << 30);
        std::optional<platform::TextInputStream> in =
            platform::TextInputStream::open(platform::File(path));
        ASSERT_TRUE(in);
        EXPECT_FALSE(ReadDataFile(*in).contents);
        EXPECT_LE(in->bytesRead(), kHeaderLineLimit + platform::TextInputStream::kChunkSize)
            << ::testing::PrintToString(start);
    }
}

struct TailCase {
    const char* tail;
    bool textAfterEnd;
};

void PrintTo(const TailCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.tail));
}

class DataFileTailTest : public ::testing::TestWithParam<TailCase> {};

TEST_P(DataFileTailTest, TellsOfTextAfterTheLastLine)
{
    const std::string whole = Fixture("budget.dat");
    const DataFileContents c = ReadOrFail(whole + GetParam().tail);
    EXPECT_EQ(c.TextAfterEnd, GetParam().textAfterEnd);
    EXPECT_FALSE(c.EndedEarly);
    EXPECT_EQ(WriteDataFile(c), WriteDataFile(ReadOrFail(whole))) << "the document as it was";
}

INSTANTIATE_TEST_SUITE_P(Tails, DataFileTailTest,
                         ::testing::Values(TailCase{"", false}, TailCase{"\n", false},
                                           TailCase{"\r\n\r\n\n\r", false}, TailCase{"x", true},
                                           TailCase{"\n\nx\n", true}, TailCase{" ", true},
                                           TailCase{"\t\n", true},
                                           TailCase{"Varnholt Data\tfalse\n-1\nfalse\n", true}));

TEST(DataFileReadTest, AcceptsTheCountsAtEitherEnd)
{
    EXPECT_EQ(ReadOrFail("Varnholt Data\tfalse\n-1\ntrue\n").NumPlayer, -1);
    const DataFileContents full = ReadOrFail("Varnholt Data\tfalse\n50\n");
    EXPECT_EQ(full.NumPlayer, 50);
    EXPECT_EQ(full.players.size(), 51u);
}

struct HeaderCase {
    const char* header;
    bool hasDB;
};

void PrintTo(const HeaderCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.header));
}

class DataFileHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(DataFileHeaderTest, TheSecondFieldSaysWhetherADatabaseBelongs)
{
    const std::string text = std::string(GetParam().header) + "\n-1\nfalse\n";
    EXPECT_EQ(ReadOrFail(text).HasDB, GetParam().hasDB) << GetParam().header;
}

INSTANTIATE_TEST_SUITE_P(Cases, DataFileHeaderTest,
                         ::testing::Values(HeaderCase{"Varnholt Data\ttrue", true},
                                           HeaderCase{"xx Varnholt Data\ttrue", true},
                                           HeaderCase{"Varnholt Data\ttrue\tmore", true},
                                           HeaderCase{"Varnholt Data\tfalse", false},
                                           HeaderCase{"Varnholt Data", false},
                                           HeaderCase{"Varnholt Data\t", false},
                                           HeaderCase{"Varnholt Data\t\ttrue", false},
                                           HeaderCase{"Varnholt Data\ttrue ", false},
                                           HeaderCase{"Varnholt Data true", false}));

TEST(DataFileReadTest, AFileThatEndsEarlyReadsTheMissingLinesAsEmpty)
{
    // budget.dat cut after its 13th line, in the middle of the Unions block.
    std::vector<std::string> lines = Lines(Fixture("budget.dat"));
    std::string text;
    for (size_t i = 0; i < 13; ++i)
        text += lines[i] + "\n";
    const DataFileContents c = ReadOrFail(text);
    ASSERT_EQ(c.NumPlayer, 1);
    ASSERT_EQ(c.players.size(), 2u);
    EXPECT_EQ(Stored(c.players[0]), Stored(BudgetDocument().players[0]));
    EXPECT_EQ(Stored(c.players[1]),
              Stored(Player{"Unions", 0, 0, 0, 0, 0, 0, 0, 0, false, "Staff side", false,
                            "Meet them first\rbefore May"}));
    EXPECT_EQ(c.players[1].Height, 45);
    EXPECT_EQ(c.Links[1][1], 0);
    EXPECT_FALSE(c.AveColour);
    EXPECT_TRUE(c.EndedEarly);
}

TEST(DataFileReadTest, EveryCutOfAFileReadsOrIsRefusedByItsHeader)
{
    const std::string whole = Fixture("coalition.dat");
    // A cut anywhere before the last line, inside the last link row among them, ends early;
    // only one inside the last line itself reads a document that looks whole.
    const size_t lastLine = whole.rfind('\n', whole.size() - 2) + 1;
    for (size_t size = 0; size <= whole.size(); ++size) {
        const std::optional<DataFileContents> c = ReadDataFile(whole.substr(0, size));
        const bool hasHeader = size >= std::string_view("Varnholt Data").size();
        ASSERT_EQ(c.has_value(), hasHeader) << "cut at " << size;
        if (c) {
            ASSERT_EQ(c->players.size(), static_cast<size_t>(c->NumPlayer + 1));
            ASSERT_EQ(c->EndedEarly, size <= lastLine) << "cut at " << size;
        }
    }
}

class DataFileLineEndTest : public ::testing::TestWithParam<const char*> {};

TEST_P(DataFileLineEndTest, ReadsEveryLineEndAlike)
{
    const std::string lf = Fixture("coalition.dat");
    const std::string other = Replace(lf, "\n", GetParam());
    const DataFileContents a = ReadOrFail(lf);
    const DataFileContents b = ReadOrFail(other);
    EXPECT_EQ(WriteDataFile(b), WriteDataFile(a));
    EXPECT_EQ(b.HasDB, a.HasDB);
}

INSTANTIATE_TEST_SUITE_P(Cases, DataFileLineEndTest, ::testing::Values("\r\n", "\r"));

// coalition.dat with its lines ended by `lineEnd`, and `stray`, a line break of another kind,
// in three of its fields: inside the central issue's key message, and in the place of the
// space in a name and in a subtitle.
std::string WithStrayBreaks(const std::string& lineEnd, const std::string& stray)
{
    std::vector<std::string> lines = Lines(Fixture("coalition.dat"));
    lines[3] = Replace(lines[3], "A&E open", "A&E" + stray + "open");
    lines[20] = Replace(lines[20], "Local paper", "Local" + stray + "paper");
    lines[30] = Replace(lines[30], "Finance committee", "Finance" + stray + "committee");
    std::string text;
    for (const std::string& line : lines)
        text += line + lineEnd;
    return text;
}

// What WithStrayBreaks holds: coalition.dat's document with a line break in the key message.
DataFileContents StrayBreaksDocument()
{
    DataFileContents c = ReadOrFail(Fixture("coalition.dat"));
    c.players[0].KeyMsg = "Keep the A&E\ropen\rTalk to the board\rBefore winter";
    return c;
}

void ExpectSameDocument(const DataFileContents& a, const DataFileContents& b)
{
    EXPECT_EQ(a.HasDB, b.HasDB);
    ASSERT_EQ(a.players.size(), b.players.size());
    for (size_t i = 0; i < a.players.size(); ++i) {
        EXPECT_EQ(Stored(a.players[i]), Stored(b.players[i])) << "player " << i;
        EXPECT_EQ(a.players[i].Width, b.players[i].Width) << "player " << i;
    }
    EXPECT_EQ(a.Links, b.Links);
    EXPECT_EQ(a.AveColour, b.AveColour);
}

struct StrayCase {
    const char* lineEnd;
    const char* stray;
};

void PrintTo(const StrayCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.lineEnd)) << " with "
        << ::testing::PrintToString(std::string(c.stray));
}

class DataFileStrayBreakTest : public ::testing::TestWithParam<StrayCase> {};

// A line break pasted from another system's editor stays in its field: nothing after it moves
// up a line. It is written back the program's own way, and that reads back the same.
TEST_P(DataFileStrayBreakTest, StaysInItsFieldAndIsWrittenTheProgramsWay)
{
    testsupport::TempDir dir;
    const std::string path = dir.file("mixed.dat");
    testsupport::TempDir::write(path, WithStrayBreaks(GetParam().lineEnd, GetParam().stray));
    std::optional<platform::TextInputStream> in =
        platform::TextInputStream::open(platform::File(path));
    ASSERT_TRUE(in);
    const std::optional<DataFileContents> read = ReadDataFile(*in).contents;
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->EndedEarly);
    EXPECT_FALSE(read->TextAfterEnd);
    const DataFileContents expected = StrayBreaksDocument();
    ExpectSameDocument(*read, expected);

    const std::string written = WriteDataFile(*read);
    EXPECT_EQ(written, WriteDataFile(expected));
    EXPECT_EQ(Lines(written).at(3),
              "Regional plan\tKeep the A&E^&*open^&*Talk to the board^&*Before winter");
    ExpectSameDocument(ReadOrFail(written), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, DataFileStrayBreakTest,
                         ::testing::Values(StrayCase{"\n", "\r"}, StrayCase{"\r", "\n"},
                                           StrayCase{"\r\n", "\r"}, StrayCase{"\r\n", "\n"}));

// A read that fails, at once or anywhere later, gives no document, whatever came before it.
TEST(DataFileReadTest, AReadThatFailsAnywhereGivesNoDocument)
{
    const std::string whole = Fixture("coalition.dat");
    for (const size_t failAt :
         {size_t{0}, size_t{5}, size_t{100}, whole.size() / 2, whole.size() - 1, whole.size()}) {
        platform::TextInputStream in(std::make_unique<testsupport::FailingSource>(whole, failAt));
        const DataFileRead read = ReadDataFile(in);
        EXPECT_TRUE(read.readFailed) << "failing at " << failAt;
        EXPECT_FALSE(read.contents) << "failing at " << failAt;
    }
    platform::TextInputStream in(std::make_unique<testsupport::FailingSource>(whole, SIZE_MAX));
    const DataFileRead read = ReadDataFile(in);
    EXPECT_FALSE(read.readFailed);
    ASSERT_TRUE(read.contents);
    ExpectSameDocument(*read.contents, ReadOrFail(whole));
}

TEST(DataFileReadTest, ReadsAByteOrderMarkAndLatin1)
{
    const DataFileContents c = ReadOrFail("\xEF\xBB\xBFVarnholt Data\tfalse\r\n0\r\nZ\xFCrich\r\n");
    ASSERT_EQ(c.players.size(), 1u);
    EXPECT_EQ(c.players[0].Name, "Zürich");
    EXPECT_EQ(c.players[0].Width, 7 * 6 + 20);
}

// A file from an editor that saves Windows-1252 reads as the editor showed it, and the next
// save writes that text as UTF-8, which reads back the same.
TEST(DataFileReadTest, ReadsWindows1252AndWritesBackWhatItRead)
{
    const std::string shown = "Caf\xC3\xA9 \xE2\x80\x9Cowners\xE2\x80\x9D \xE2\x82\xAC"
                              "5";
    const DataFileContents c = ReadOrFail("Varnholt Data\tfalse\r\n0\r\nCaf\xE9 \x93owners\x94 \x80"
                                          "5\r\n"
                                          "\x81\x8D\tkey\r\n");
    ASSERT_EQ(c.players.size(), 1u);
    EXPECT_EQ(c.players[0].Name, shown);
    EXPECT_EQ(c.players[0].Subtitle, "\xC2\x81\xC2\x8D") << "undefined bytes stay Latin-1";
    EXPECT_EQ(c.players[0].Width, 7 * 16 + 20);
    const std::string written = WriteDataFile(c);
    EXPECT_EQ(Lines(written).at(2), shown);
    const DataFileContents again = ReadOrFail(written);
    ASSERT_EQ(again.players.size(), 1u);
    EXPECT_EQ(Stored(again.players[0]), Stored(c.players[0]));
    EXPECT_EQ(WriteDataFile(again), written);
}

TEST(DataFileReadTest, ALinkRowOfTheWrongLengthReadsWhatItHas)
{
    std::vector<std::string> lines = Lines(Fixture("coalition.dat"));
    lines[38] = "0,40,";          // short: the third cell is 0
    lines[39] = "40,0,75,99,98,"; // long: the fourth and fifth are not read
    lines[40] = "";               // empty: every cell 0
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    const DataFileContents d = ReadOrFail(text);
    const std::array<int32_t, 3> row1{d.Links[1][1], d.Links[1][2], d.Links[1][3]};
    const std::array<int32_t, 4> row2{d.Links[2][1], d.Links[2][2], d.Links[2][3], d.Links[2][4]};
    const std::array<int32_t, 3> row3{d.Links[3][1], d.Links[3][2], d.Links[3][3]};
    EXPECT_EQ(row1, (std::array<int32_t, 3>{0, 40, 0}));
    EXPECT_EQ(row2, (std::array<int32_t, 4>{40, 0, 75, 0}));
    EXPECT_EQ(row3, (std::array<int32_t, 3>{0, 0, 0}));
    EXPECT_FALSE(d.AveColour) << "the last line is still the last line";
}

class DataFileLinkRowTest : public ::testing::TestWithParam<const char*> {};

// Each row is read in one pass; cell j is still what field j of the row split at commas gives.
TEST_P(DataFileLinkRowTest, ReadsEachCellAsTheFieldOfItsColumn)
{
    std::vector<std::string> lines = Lines(Fixture("coalition.dat"));
    const int32_t n = 3;
    ASSERT_EQ(lines[1], std::to_string(n));
    for (size_t row = 38; row < 41; ++row)
        lines[row] = GetParam();
    lines[41] = "true";
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    const DataFileContents d = ReadOrFail(text);
    for (int32_t i = 1; i <= n; ++i)
        for (int32_t j = 1; j <= n; ++j)
            EXPECT_EQ(d.Links[i][j],
                      platform::ToInt32(platform::Val(platform::NthField(GetParam(), ",", j))))
                << "cell " << i << ", " << j;
    EXPECT_TRUE(d.AveColour) << "the row stays one line";
    EXPECT_FALSE(d.EndedEarly);
}

INSTANTIATE_TEST_SUITE_P(Rows, DataFileLinkRowTest,
                         ::testing::Values("", ",", ",,,,", "7", "0,40,", "1,2,3,4,5,6,7,8,",
                                           " 5, -6 ,+7,", "1e2,2.9,-2.9,", "abc,12abc,,3",
                                           "99999999999,-99999999999,nan,", "\t4,;5,5;6", "1,,2"));

// Open and Save As of the main window on a file with a stray line break.
class DataFileOpenTest : public testsupport::AppTest {
protected:
    void open(const std::string& file, const std::vector<std::string>& messages = {})
    {
        testsupport::ModalScript script;
        script.openFile(file);
        for (const std::string& m : messages)
            script.message(m);
        EXPECT_TRUE(platform::testing::chooseMenuItem("FileOpen"));
        EXPECT_TRUE(script.done());
    }

    DataFileContents document()
    {
        const frmMain& m = main();
        return MakeDataFileContents(m.HasDB, m.NumPlayer, m.Player, m.Links, m.AveColour);
    }

    testsupport::TempDir dir;
};

// An LF file whose key message holds a lone CR, as pasted from another system's editor: every
// player keeps its own fields, without a word, and so does the file Save As writes.
TEST_F(DataFileOpenTest, AStrayBreakKeepsEveryPlayersFieldsThroughSaveAs)
{
    const std::string mixed = dir.file("mixed.dat");
    const std::string saved = dir.file("saved.dat");
    testsupport::TempDir::write(mixed, WithStrayBreaks("\n", "\r"));
    // The file names a database, which is not there.
    const std::string noDatabase = "Can't find assocaite database file.";
    open(mixed, {noDatabase});
    const DataFileContents expected = StrayBreaksDocument();
    ExpectSameDocument(document(), expected);

    testsupport::ModalScript script;
    script.saveFile(saved);
    EXPECT_TRUE(platform::testing::chooseMenuItem("FileSaveSet"));
    EXPECT_TRUE(script.done());
    EXPECT_EQ(testsupport::TempDir::read(saved), WriteDataFile(expected));
    open(saved, {noDatabase});
    ExpectSameDocument(document(), expected);
}

// A regular file whose first read fails: a problem with the file, and the document as it was.
TEST_F(DataFileOpenTest, AFileThatCannotBeReadLeavesTheDocument)
{
    const std::string path = dir.file("budget.dat");
    testsupport::TempDir::write(path, Fixture("budget.dat"));
    open(path);
    main().Player[1].Position = 55;
    main().FileChanged = false;
    const DataFileContents before = document();
    open("/proc/self/mem", {"Problem with file ..."});
    ExpectSameDocument(document(), before);
    EXPECT_EQ(main().InFilePath, path);
    EXPECT_EQ(main().title(), "Varnholt - budget.dat");
}

TEST(DataFileShapeTest, NoDocumentHasThreeLines)
{
    DataFileContents c;
    c.HasDB = true;
    c.AveColour = true;
    const std::string text = WriteDataFile(c);
    EXPECT_EQ(Lines(text), (std::vector<std::string>{"Varnholt Data\ttrue", "-1", "true"}));
    const DataFileContents back = ReadOrFail(text);
    EXPECT_EQ(back.NumPlayer, -1);
    EXPECT_TRUE(back.players.empty());
    EXPECT_TRUE(back.AveColour);
}

TEST(DataFileShapeTest, TheCentralIssueAloneHasTwelveLinesAndNoLinkRow)
{
    DataFileContents c = BudgetDocument();
    c.NumPlayer = 0;
    c.players.resize(1);
    c.Links[0][0] = 50; // row and column 0 are never stored
    const std::vector<std::string> lines = Lines(WriteDataFile(c));
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[10], "true false");
    EXPECT_EQ(lines[11], "true");
}

TEST(DataFileShapeTest, EveryLinkIsFollowedByAComma)
{
    DataFileContents c = ReadOrFail(Fixture("coalition.dat"));
    c.Links[0][1] = 10; // row and column 0 are never stored
    c.Links[1][0] = 10;
    c.Links[1][3] = -7;
    const std::vector<std::string> lines = Lines(WriteDataFile(c));
    ASSERT_EQ(lines.size(), 42u);
    EXPECT_EQ(lines[38], "0,40,-7,");
    EXPECT_EQ(lines[39], "40,0,75,");
}

TEST(DataFileShapeTest, MissingRecordsAreWrittenEmptyAndTheCountLimited)
{
    DataFileContents c;
    c.NumPlayer = 2;
    EXPECT_EQ(Lines(WriteDataFile(c)).size(), 32u);
    c.NumPlayer = 70;
    const DataFileContents back = ReadOrFail(WriteDataFile(c));
    EXPECT_EQ(back.NumPlayer, kPlayerLimit);
}

} // namespace
