#include "spider/frmTable.h"
#include "spider/wSliders.h"

#include "app/Menu.h"
#include "app/frmDetails.h"
#include "app/frmMain.h"

#include "tests/support/app_fixture.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/largest_document.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

namespace {

namespace pt = platform::testing;
using testsupport::ModalScript;
using testsupport::TempDir;

class frmTableTest : public testsupport::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        testsupport::LoadDocument(main(),
                                  {{"Issue", 0, 50}, {"Unions", -40, 70}, {"Press", 100, 5}});
    }

    frmTable& table()
    {
        frmTable& t = frmTable::instance();
        pt::activate(t);
        return t;
    }
};

TEST_F(frmTableTest, ListsEveryPlayerInIndexOrderWithPercentages)
{
    frmTable& t = table();
    ASSERT_EQ(t.lbTable->rowCount(), 3);
    EXPECT_EQ(t.lbTable->cell(0, 0), "Issue");
    EXPECT_EQ(t.lbTable->cell(1, 0), "Unions");
    EXPECT_EQ(t.lbTable->cell(1, 1), "-40%");
    EXPECT_EQ(t.lbTable->cell(1, 2), "70%");
    EXPECT_EQ(t.lbTable->cell(2, 1), "100%");
    EXPECT_EQ(t.lbTable->cell(0, 1), "0%");
}

TEST_F(frmTableTest, AClickOnAnyHeadingKeepsThePlayerOrder)
{
    frmTable& t = table();
    // The clicks reach the headings: the table's handler hears each of them.
    std::vector<int32_t> heard;
    const auto handler = t.lbTable->onSortColumn;
    t.lbTable->onSortColumn = [&heard, handler](int32_t column) {
        heard.push_back(column);
        return handler(column);
    };
    const std::vector<std::string> order{"Issue", "Unions", "Press"};
    for (const int32_t column : {1, 2, 0, 1}) {
        pt::clickHeading(*t.lbTable, column);
        std::vector<std::string> rows;
        for (int32_t r = 0; r < t.lbTable->rowCount(); ++r)
            rows.push_back(t.lbTable->cell(r, 0));
        EXPECT_EQ(rows, order) << "after a click on heading " << column;
    }
    EXPECT_EQ(heard, (std::vector<int32_t>{1, 2, 0, 1}));
}

TEST_F(frmTableTest, ADoubleClickEditsTheRowsPlayer)
{
    frmTable& t = table();
    ModalScript script;
    script.window([](platform::Window& w) {
        frmDetails& d = dynamic_cast<frmDetails&>(w);
        EXPECT_EQ(d.title(), "New Player");
        EXPECT_EQ(d.efName->text(), "Unions");
        d.efName->setText("Unions UK");
        d.PushButton1->push();
    });
    pt::doubleClickRow(*t.lbTable, 1);
    EXPECT_TRUE(script.done());
    EXPECT_EQ(t.lbTable->cell(1, 0), "Unions UK");
    EXPECT_EQ(main().Player[1].Width, 7 * 9 + 20);
    EXPECT_EQ(main().Player[1].xcentre, 100 + 41) << "centre from corner";
    EXPECT_TRUE(main().FileChanged);
}

TEST_F(frmTableTest, ADoubleClickOnNoRowEditsNobody)
{
    frmTable& t = table();
    t.lbTable->setListIndex(-1);
    t.lbTable_DoubleClick();
    main().NumPlayer = 1; // row 2 no longer names a player
    t.lbTable->setListIndex(2);
    t.lbTable_DoubleClick();
    EXPECT_FALSE(frmDetails::exists());
    EXPECT_FALSE(main().FileChanged);
}

TEST_F(frmTableTest, AfterADeleteTheRowsAreReadAgain)
{
    frmTable& t = table();
    ModalScript script;
    script.window([](platform::Window& w) { dynamic_cast<frmDetails&>(w).PushButton2->push(); });
    pt::doubleClickRow(*t.lbTable, 1);
    ASSERT_EQ(main().NumPlayer, 1);
    ASSERT_EQ(t.lbTable->rowCount(), 2);
    EXPECT_EQ(t.lbTable->cell(1, 0), "Press");
}

// In front, the table and the sliders window enable only what they answer, besides Quit: the
// table Export Data, the sliders nothing. The Show items stay greyed there.
TEST_F(frmTableTest, TheTableAndTheSlidersEnableOnlyWhatTheyAnswer)
{
    Menu& menu = Menu::instance();
    for (const bool sliders : {false, true}) {
        SCOPED_TRACE(sliders ? "sliders" : "table");
        if (sliders)
            pt::activate(wSliders::instance());
        else
            table();
        menu.updateEnabling();
        for (const char* name : {"ShowSwingometer", "ShowMakeHarder", "ShowMakeEasier",
                                 "ShowMorePolarized", "FileNew", "FileSave", "FilePrint"})
            EXPECT_FALSE(menu.item(name)->isEnabled()) << name;
        EXPECT_EQ(menu.item("FileExportData")->isEnabled(), !sliders);
        EXPECT_TRUE(menu.item("FileQuit")->isEnabled());
    }
}

TEST_F(frmTableTest, ExportWritesNamePositionAndImportance)
{
    frmTable& t = table();
    TempDir dir;
    ModalScript script;
    script.saveFile(dir.file("Export.dat"));
    EXPECT_TRUE(pt::chooseMenuItem("FileExportData"));
    EXPECT_EQ(TempDir::read(dir.file("Export.dat")),
              "Issue\t0\t50\nUnions\t-40\t70\nPress\t100\t5\n");
    EXPECT_FALSE(main().FileChanged);
    (void)t;
}

TEST_F(frmTableTest, AnExportThatCannotBeWrittenSaysSoAndLeavesNoFile)
{
    table();
    TempDir dir;
    ModalScript script;
    script.saveFile(dir.file("missing/Export.dat"));
    script.message("Problem creating file ...");
    EXPECT_TRUE(pt::chooseMenuItem("FileExportData"));
    EXPECT_TRUE(TempDir::read(dir.file("missing/Export.dat")).empty());
}

TEST_F(frmTableTest, AnExportCutShortByTheFileSizeLimitKeepsTheOldExport)
{
    table();
    TempDir dir;
    const std::string path = dir.file("Export.dat");
    TempDir::write(path, "an earlier export\n");
    ModalScript script;
    script.saveFile(path).message("Problem creating file ...");
    {
        testsupport::FileSizeLimit limit(16);
        EXPECT_TRUE(pt::chooseMenuItem("FileExportData"));
    }
    EXPECT_TRUE(script.done());
    EXPECT_EQ(TempDir::read(path), "an earlier export\n");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"Export.dat"});
    EXPECT_FALSE(main().FileChanged);
}

// The largest document: a row for every player, the first and the last as the document holds
// them; a double-click on the last row edits the last player; the export runs to the last.
TEST_F(frmTableTest, AtTheLimitTheFirstAndLastRowsAreTheFirstAndLastPlayers)
{
    namespace largest = testsupport::largest;
    TempDir dir;
    largest::Open(main(), dir.file("largest.dat"));
    frmTable& t = table();
    ASSERT_EQ(t.lbTable->rowCount(), kPlayerLimit + 1);
    for (const int32_t row : {0, 1, kPlayerLimit - 1, kPlayerLimit}) {
        const Player p = largest::player(row);
        EXPECT_EQ(t.lbTable->cell(row, 0), p.Name) << "row " << row;
        EXPECT_EQ(t.lbTable->cell(row, 1), std::to_string(p.Position) + "%") << "row " << row;
        EXPECT_EQ(t.lbTable->cell(row, 2), std::to_string(p.Importance) + "%") << "row " << row;
    }

    ModalScript script;
    script.window([](platform::Window& w) {
        frmDetails& d = dynamic_cast<frmDetails&>(w);
        EXPECT_EQ(d.efName->text(), largest::player(kPlayerLimit).Name);
        d.efName->setText("The last");
        d.PushButton1->push();
    });
    pt::doubleClickRow(*t.lbTable, kPlayerLimit);
    EXPECT_TRUE(script.done()) << "the last row was not double-clicked";
    EXPECT_EQ(main().Player[kPlayerLimit].Name, "The last");
    EXPECT_EQ(t.lbTable->cell(kPlayerLimit, 0), "The last");
    EXPECT_EQ(t.lbTable->rowCount(), kPlayerLimit + 1);

    script.saveFile(dir.file("Export.dat"));
    EXPECT_TRUE(pt::chooseMenuItem("FileExportData"));
    const std::string exported = TempDir::read(dir.file("Export.dat"));
    EXPECT_EQ(std::count(exported.begin(), exported.end(), '\n'), kPlayerLimit + 1);
    const Player last = largest::player(kPlayerLimit);
    EXPECT_TRUE(exported.ends_with("\nThe last\t" + std::to_string(last.Position) + "\t" +
                                   std::to_string(last.Importance) + "\n"))
        << exported.substr(exported.size() - 200);
}

// At other sizes than its own, larger and down to its smallest, the list keeps its margins to
// every edge of the window and OK keeps its place in the bottom right corner.
// Every row opens the player editor on its own player: the central issue in the first row, and
// each player in its row down to the last, which a person scrolls the list to. A name typed in
// the editor reaches that player and that row alone.
struct TableRowsCase {
    const char* name;
    std::function<void(frmMain&, const TempDir&)> open;
};

class frmTableRowsTest : public frmTableTest,
                         public ::testing::WithParamInterface<TableRowsCase> {};

INSTANTIATE_TEST_SUITE_P(
    Documents, frmTableRowsTest,
    ::testing::Values(
        TableRowsCase{"CentralIssueOnly",
                      [](frmMain& m, const TempDir&) {
                          testsupport::LoadDocument(m, {{"Issue", 20, 50, 353, 271, "Why"}});
                      }},
        TableRowsCase{"ThreeRows", [](frmMain&, const TempDir&) {}},
        TableRowsCase{"Largest",
                      [](frmMain& m, const TempDir& dir) {
                          testsupport::largest::Open(m, dir.file("largest.dat"));
                      }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(frmTableRowsTest, EveryRowOpensItsOwnPlayer)
{
    TempDir dir;
    GetParam().open(main(), dir);
    frmTable& t = table();
    const int32_t last = main().NumPlayer;
    ASSERT_EQ(t.lbTable->rowCount(), last + 1);
    ModalScript script;
    for (int32_t row = 0; row <= last; ++row) {
        const Player p = main().Player[row];
        script.window([row, p](platform::Window& w) {
            frmDetails& d = dynamic_cast<frmDetails&>(w);
            EXPECT_EQ(d.title(), "New Player") << "row " << row;
            EXPECT_EQ(d.efName->text(), p.Name) << "row " << row;
            EXPECT_EQ(d.efSub->text(), p.Subtitle) << "row " << row;
            EXPECT_EQ(d.Slider1->value(), p.Position) << "row " << row;
            EXPECT_EQ(d.Slider2->value(), p.Importance) << "row " << row;
            // The central issue's editor has Average Colour in place of Delete.
            EXPECT_EQ(d.cbAveColour->isVisible(), row == 0) << "row " << row;
            EXPECT_EQ(d.PushButton2->isVisible(), row != 0) << "row " << row;
            d.efName->setText("Row " + std::to_string(row));
            d.PushButton1->push();
        });
        pt::doubleClickRow(*t.lbTable, row);
        ASSERT_TRUE(script.done()) << "row " << row << " opened no editor";
        EXPECT_EQ(t.lbTable->cell(row, 0), "Row " + std::to_string(row));
    }
    EXPECT_EQ(t.lbTable->rowCount(), last + 1);
    for (int32_t row = 0; row <= last; ++row) {
        EXPECT_EQ(main().Player[row].Name, "Row " + std::to_string(row));
        EXPECT_EQ(t.lbTable->cell(row, 0), "Row " + std::to_string(row));
    }
    EXPECT_TRUE(main().FileChanged);
}

struct TableSize {
    int32_t width;
    int32_t height;
};

class frmTableSizeTest : public frmTableTest, public ::testing::WithParamInterface<TableSize> {};

TEST_P(frmTableSizeTest, TheListAndOKKeepToTheWindowsEdges)
{
    const TableSize& size = GetParam();
    frmTable& t = table();
    t.setSize(size.width, size.height);
    pt::processEvents();
    ASSERT_EQ(t.width(), size.width);
    ASSERT_EQ(t.height(), size.height);
    EXPECT_EQ(t.lbTable->left(), 11);
    EXPECT_EQ(t.lbTable->top(), 14);
    EXPECT_EQ(t.lbTable->width(), size.width - 22);
    EXPECT_EQ(t.lbTable->height(), size.height - 55);
    EXPECT_EQ(t.PushButton1->left(), size.width - 83);
    EXPECT_EQ(t.PushButton1->top(), size.height - 29);
    EXPECT_EQ(t.lbTable->rowCount(), 3);
    EXPECT_EQ(t.lbTable->cell(2, 0), "Press");
}

INSTANTIATE_TEST_SUITE_P(Sizes, frmTableSizeTest,
                         ::testing::Values(TableSize{900, 700}, TableSize{400, 300},
                                           TableSize{64, 64}),
                         [](const ::testing::TestParamInfo<TableSize>& info) {
                             return std::to_string(info.param.width) + "x" +
                                    std::to_string(info.param.height);
                         });

} // namespace
