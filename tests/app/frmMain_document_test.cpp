// A change of the document reaches every view that is open: New and Open replace what each
// shows, and a deletion in the editor reaches the rows of the data table.

#include "app/DataFile.h"
#include "app/frmDetails.h"
#include "app/frmMain.h"

#include "forcefield/ffield.h"
#include "graph/graph.h"
#include "spider/frmTable.h"
#include "spider/wSliders.h"

#include "tests/support/app_fixture.h"
#include "tests/support/modal_script.h"
#include "tests/support/paint_counter.h"
#include "tests/support/temp_dir.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace pt = platform::testing;
using testsupport::ModalScript;
using testsupport::TempDir;

class DocumentChangeTest : public testsupport::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        testsupport::OpenDocumentFile(
            main(),
            {{"Old issue", 0, 50, 400, 300}, {"Old one", -20, 40}, {"Old two", 30, 60, 200, 200}},
            mDir.file("old.dat"));
        // Every view the main window's buttons open.
        for (platform::PushButton* b :
             {main().PushButton1, main().PushButton2, main().PushButton3, main().pbMove})
            b->push();
        pt::processEvents();
    }

    // The names of the table's rows, and of the sliders' rows.
    static std::vector<std::string> tableNames()
    {
        std::vector<std::string> names;
        const frmTable& t = frmTable::instance();
        for (int32_t r = 0; r < t.lbTable->rowCount(); ++r)
            names.push_back(t.lbTable->cell(r, 0));
        return names;
    }
    static std::vector<std::string> sliderNames()
    {
        std::vector<std::string> names;
        const wSliders& w = wSliders::instance();
        for (int32_t r = 1; r <= w.rowCount(); ++r)
            names.push_back(w.st[r]->text());
        return names;
    }

    TempDir mDir;
};

struct ReplaceCase {
    const char* name;
    bool open; ///< File > Open of another document, else File > New
    std::vector<std::string> table;
    std::vector<std::string> sliders;
};

class ReplacedDocumentTest : public DocumentChangeTest,
                             public ::testing::WithParamInterface<ReplaceCase> {};

TEST_P(ReplacedDocumentTest, EveryOpenViewShowsTheNewDocument)
{
    const ReplaceCase& c = GetParam();
    testsupport::PaintCounter forceField(*ffield::instance().cGraph);
    testsupport::PaintCounter graphPaints(*graph::instance().cGraph);
    if (c.open) {
        testsupport::OpenDocumentFile(main(), {{"New issue"}, {"Newcomer", 0, 65}},
                                      mDir.file("new.dat"));
    } else {
        ModalScript script;
        script.window([](platform::Window& w) {
            frmDetails& d = dynamic_cast<frmDetails&>(w);
            d.efName->setText("New issue");
            d.PushButton1->push();
        });
        pt::activate(main());
        ASSERT_TRUE(pt::chooseMenuItem("FileNew"));
    }
    EXPECT_EQ(tableNames(), c.table);
    EXPECT_EQ(sliderNames(), c.sliders) << "the sliders are built afresh";
    EXPECT_TRUE(forceField.waitForPaint()) << "the force field shows the document before";
    EXPECT_TRUE(graphPaints.waitForPaint()) << "the graph shows the document before";
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ReplacedDocumentTest,
    ::testing::Values(ReplaceCase{"FileOpen", true, {"New issue", "Newcomer"}, {"Newcomer"}},
                      ReplaceCase{"FileNew", false, {"New issue"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A document that fills every slot: players beyond its count, links in every cell (the central
// issue's row and column and the diagonal too), a file name and flags that differ from what
// comes next.
void FillEveryCell(frmMain& m)
{
    m.NumPlayer = 5;
    for (size_t i = 0; i < m.Player.size(); ++i) {
        ::Player& p = m.Player[i];
        p.Name = "Stale " + std::to_string(i);
        p.Subtitle = "sub";
        p.KeyMsg = "msg";
        p.x = p.y = p.xcentre = p.ycentre = 7;
        p.Width = p.Height = 7;
        p.Position = p.Importance = 7;
        p.LinkMain = p.Unknown = true;
    }
    for (auto& row : m.Links)
        row.fill(77);
    m.AveColour = false;
    m.HasDB = true;
    m.InFileName = "stale.dat";
    m.InFilePath = "/nowhere/stale.dat";
    m.FileChanged = false; // so that no save prompt comes first
}

bool IsEmptyRecord(const ::Player& p)
{
    return p.Name.empty() && p.Subtitle.empty() && p.KeyMsg.empty() && p.x == 0 && p.y == 0 &&
           p.xcentre == 0 && p.ycentre == 0 && p.Width == 0 && p.Height == 0 && p.Position == 0 &&
           p.Importance == 0 && !p.LinkMain && !p.Unknown;
}

struct WholeCase {
    const char* name;
    bool open; ///< File > Open of a smaller document, else File > New
};

class WholeDocumentTest : public DocumentChangeTest,
                          public ::testing::WithParamInterface<WholeCase> {};

TEST_P(WholeDocumentTest, NothingOfTheDocumentBeforeSurvives)
{
    frmMain& m = main();
    FillEveryCell(m);
    pt::activate(m);
    const std::string path = mDir.file("small.dat");
    int32_t count = 0;
    LinkTable links{};
    if (GetParam().open) {
        // Two players with one link between them.
        DataFileContents c;
        c.NumPlayer = 2;
        c.players.resize(3);
        c.players[0].Name = "Small issue";
        c.players[1].Name = "One";
        c.players[2].Name = "Two";
        c.Links[1][2] = c.Links[2][1] = 40;
        TempDir::write(path, WriteDataFile(c));
        count = 2;
        links = c.Links;
        ModalScript script;
        script.openFile(path);
        ASSERT_TRUE(pt::chooseMenuItem("FileOpen"));
        ASSERT_TRUE(script.done());
        EXPECT_EQ(m.InFileName, "small.dat");
        EXPECT_FALSE(m.FileChanged);
        EXPECT_FALSE(m.AveColour) << "as the file says";
    } else {
        ModalScript script;
        script.window([](platform::Window& w) {
            frmDetails& d = dynamic_cast<frmDetails&>(w);
            d.efName->setText("Fresh issue");
            d.PushButton1->push();
        });
        ASSERT_TRUE(pt::chooseMenuItem("FileNew"));
        ASSERT_TRUE(script.done());
        EXPECT_EQ(m.Player[0].Name, "Fresh issue");
        EXPECT_EQ(m.Player[0].Subtitle, "") << "a fresh central issue";
        EXPECT_EQ(m.InFileName, "");
        EXPECT_TRUE(m.FileChanged);
        EXPECT_TRUE(m.AveColour);
    }
    ASSERT_EQ(m.NumPlayer, count);
    EXPECT_FALSE(m.HasDB) << "neither document has a database of its own";
    std::string stale;
    for (size_t i = static_cast<size_t>(count) + 1; i < m.Player.size(); ++i)
        if (!IsEmptyRecord(m.Player[i]))
            stale += " player " + std::to_string(i);
    // Every cell, so that a player added later starts without links the user never drew.
    for (size_t i = 0; i < links.size(); ++i)
        for (size_t j = 0; j < links.size(); ++j)
            if (m.Links[i][j] != links[i][j])
                stale += " link " + std::to_string(i) + "," + std::to_string(j);
    EXPECT_EQ(stale, "") << "left of the document before";
}

INSTANTIATE_TEST_SUITE_P(Commands, WholeDocumentTest,
                         ::testing::Values(WholeCase{"FileOpen", true},
                                           WholeCase{"FileNew", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentChangeTest, ADeletionInTheEditorReachesTheTablesRows)
{
    // A click on "Old one"'s box on the map, and "Delete" in its editor.
    const Player& p = main().Player[1];
    main().SetMapping(main().Canvas1->width(), main().Canvas1->height()); // as the map's paint does
    ModalScript script;
    script.window([](platform::Window& w) {
        frmDetails& d = dynamic_cast<frmDetails&>(w);
        EXPECT_EQ(d.efName->text(), "Old one");
        d.PushButton2->push();
    });
    pt::mousePress(*main().Canvas1, p.x + 5, p.y + 5);
    pt::mouseRelease(*main().Canvas1, p.x + 5, p.y + 5);
    ASSERT_TRUE(script.done());
    EXPECT_EQ(tableNames(), (std::vector<std::string>{"Old issue", "Old two"}));
    EXPECT_EQ(sliderNames(), (std::vector<std::string>{"Old one", "Old two"}))
        << "the sliders keep the rows they were opened with";
}

} // namespace
