// A change of the document reaches every view that is open: New and Open replace what each
// shows, and a deletion in the editor reaches the rows of the data table.

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
        testsupport::OpenDocumentFile(main(),
                                      {{"Old issue"}, {"Old one", -20, 40}, {"Old two", 30, 60}},
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

TEST_F(DocumentChangeTest, ADeletionInTheEditorReachesTheTablesRows)
{
    // A click on "Old one"'s box on the map, and "Delete" in its editor.
    const Player& p = main().Player[1];
    main().SetMapping(main().width(), main().height()); // as the map's paint does
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
