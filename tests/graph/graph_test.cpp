#include "graph/graph.h"

#include "app/Companions.h"
#include "app/Menu.h"
#include "app/frmMain.h"

#include "spider/wSwing.h"

#include "tests/graph/graph_fixture.h"
#include "tests/support/modal_script.h"

#include "platform/menu.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

namespace pt = platform::testing;
using graphtest::kH;
using graphtest::kW;
using platform::Picture;
using testsupport::FixturePlayer;
using testsupport::Kind;
using testsupport::ModalRequest;
using testsupport::ModalScript;

const GraphMapping kScreen = GraphMapping::screen(kW, kH);

class GraphWindowTest : public graphtest::GraphTest {};

// --- The window and its settings ---

TEST_F(GraphWindowTest, OpensWithItsLayoutAndBothSettingsOn)
{
    graph& w = openGraph({{"Issue"}, {"A", 10, 20}});
    EXPECT_EQ(w.title(), "Position vs. Importance");
    EXPECT_EQ(w.width(), 725);
    EXPECT_EQ(w.height(), 411);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.PushButton1->caption(), "Close");
    EXPECT_EQ(w.StaticText1->text(), "Position: enemy -> ally");
    EXPECT_TRUE(w.ColourBkgd);
    EXPECT_TRUE(w.CheckBox2->value());
    EXPECT_EQ(w.ContextualMenu1->rows(),
              (std::vector<std::string>{"Create New Player", "Edit Nearest Player"}));
}

struct CaptionsCase {
    int players; ///< besides the central issue
    bool captions;
};

class CaptionsAtOpenTest : public graphtest::GraphTest,
                           public ::testing::WithParamInterface<CaptionsCase> {};

TEST_P(CaptionsAtOpenTest, SixteenPlayersOrMoreOpenWithoutCaptions)
{
    std::vector<FixturePlayer> players{{"Issue"}};
    for (int i = 1; i <= GetParam().players; ++i)
        players.emplace_back("P" + std::to_string(i));
    graph& w = openGraph(players);
    EXPECT_EQ(w.CaptionsOn, GetParam().captions);
    EXPECT_EQ(w.CheckBox1->value(), GetParam().captions);
}

INSTANTIATE_TEST_SUITE_P(Counts, CaptionsAtOpenTest,
                         ::testing::Values(CaptionsCase{15, true}, CaptionsCase{16, false}));

TEST_F(GraphWindowTest, TheCheckBoxesSwitchTheirSettings)
{
    graph& w = openGraph({{"Issue"}, {"A", 10, 20}});
    w.CheckBox1->setValue(false);
    EXPECT_FALSE(w.CaptionsOn);
    w.CheckBox2->setValue(false);
    EXPECT_FALSE(w.ColourBkgd);
    w.CheckBox2->setValue(true);
    EXPECT_TRUE(w.ColourBkgd);
    w.CheckBox1->setValue(true);
    EXPECT_TRUE(w.CaptionsOn);
}

TEST_F(GraphWindowTest, CloseOnlyHidesAndTheGraphButtonBringsTheSameWindowBack)
{
    graph& w = openGraph({{"Issue"}, {"A", 10, 20}});
    w.CheckBox2->setValue(false);
    w.CheckBox1->setValue(false);
    w.p.setSetupString("KestrixPageSetup/1;printer=;page=A4;orientation=portrait;"
                       "margins=10,10,10,10pt");
    const std::string setup = w.p.setupString();
    w.PushButton1->push();
    EXPECT_FALSE(w.isVisible());
    ASSERT_TRUE(graph::exists());

    main().EnableViewButtons();
    main().pbMove->push();
    EXPECT_EQ(&graph::instance(), &w);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.ColourBkgd);
    EXPECT_FALSE(w.CheckBox2->value());
    EXPECT_FALSE(w.CaptionsOn);
    EXPECT_EQ(w.p.setupString(), setup);

    pt::typeKey(w, "Return");
    EXPECT_FALSE(w.isVisible()) << "Close is the default button";
}

TEST_F(GraphWindowTest, ClosingWithTheCloseBoxGivesAFreshWindowNextTime)
{
    graph& w = openGraph({{"Issue"}, {"A", 10, 20}});
    w.CheckBox2->setValue(false);
    pt::clickCloseBox(w);
    pt::processEvents();
    EXPECT_FALSE(graph::exists());
    ShowGraph();
    EXPECT_TRUE(graph::instance().ColourBkgd);
    EXPECT_TRUE(graph::instance().isVisible());
}

TEST_F(GraphWindowTest, BecomingActiveRepaintsWithEditsMadeElsewhere)
{
    graph& w = openGraph({{"Issue"}, {"A", 10, 20}});
    ASSERT_EQ(w.xplot[1], kScreen.plotx(10) - 2) << "the window painted when it opened";
    main().Player[1].Position = -80;
    pt::processEvents();
    EXPECT_EQ(w.xplot[1], kScreen.plotx(10) - 2) << "nothing repaints the graph on its own";
    pt::activate(main());
    pt::activate(w);
    pt::processEvents();
    EXPECT_EQ(w.xplot[1], kScreen.plotx(-80) - 2);
}

// --- The menu ---

TEST_F(GraphWindowTest, InFrontItEnablesPrintPageSetupAndSaveAsPictureOnly)
{
    openGraph({{"Issue"}, {"A", 10, 20}});
    Menu::instance().updateEnabling();
    for (const char* name : {"FilePrint", "FileSaveasPicture", "FilePageSetup", "ShowMakeEasier"})
        EXPECT_TRUE(Menu::instance().item(name)->isEnabled()) << name;
    for (const char* name : {"FileNew", "FileOpen", "FileSave", "FileSaveSet", "FileExportData"})
        EXPECT_FALSE(Menu::instance().item(name)->isEnabled()) << name;
}

TEST_F(GraphWindowTest, SaveAsPictureReachesTheGraphsHandlerWhateverTheLetterCase)
{
    openGraph({{"Issue"}, {"A", 10, 20}});
    ModalScript script;
    script.expect(Kind::SaveFile, [](const ModalRequest& r) {
        EXPECT_EQ(r.filter, "image/pict");
        EXPECT_EQ(r.defaultName, "Kestrix.pict");
        return testsupport::ModalAnswer::cancel();
    });
    EXPECT_TRUE(pt::chooseMenuItem("FileSaveasPicture"));
    EXPECT_TRUE(script.done());
    EXPECT_TRUE(script.messages().empty()) << "a cancelled dialog shows nothing";
}

struct TransformCase {
    const char* item;
    std::vector<int32_t> after; ///< players 1..5, from 95, -95, 0, 150, -150
};

class GraphShowTransformTest : public graphtest::GraphTest,
                               public ::testing::WithParamInterface<TransformCase> {};

TEST_P(GraphShowTransformTest, MovesTheKnownPlayersAndMarksTheDocumentChanged)
{
    graph& w = openGraph({{"Issue", 0},
                          {"A", 95},
                          {"B", -95},
                          {"C", 0},
                          {"D", 150},
                          {"E", -150},
                          {"F", 50, 50, 100, 100, "", true, true}});
    const std::function<void()>* handler = w.menuHandler(GetParam().item);
    ASSERT_NE(handler, nullptr);
    (*handler)();
    for (size_t i = 0; i < GetParam().after.size(); ++i)
        EXPECT_EQ(main().Player[i + 1].Position, GetParam().after[i]) << "player " << i + 1;
    EXPECT_EQ(main().Player[0].Position, 0) << "the central issue stays";
    EXPECT_EQ(main().Player[6].Position, 50) << "a player of unknown stance stays";
    EXPECT_TRUE(main().FileChanged);
}

INSTANTIATE_TEST_SUITE_P(
    Items, GraphShowTransformTest,
    ::testing::Values(TransformCase{"ShowMakeEasier", {100, -85, 10, 100, -140}},
                      TransformCase{"ShowMakeHarder", {85, -100, -10, 140, -100}},
                      TransformCase{"ShowMorePolarized", {100, -100, -10, 100, -100}}),
    [](const auto& info) { return std::string(info.param.item); });

TEST_F(GraphWindowTest, TheSwingometerCommandFollowsTheFlag)
{
    graph& w = openGraph({{"Issue"}, {"A", 10, 20}});
    const std::function<void()>* handler = w.menuHandler("ShowSwingometer");
    ASSERT_NE(handler, nullptr);
    main().Swinging = false;
    (*handler)();
    EXPECT_TRUE(main().Swinging);
    EXPECT_TRUE(wSwing::instance().isVisible());
    (*handler)();
    EXPECT_FALSE(main().Swinging);
    EXPECT_FALSE(wSwing::instance().isVisible());
    EXPECT_FALSE(main().FileChanged);
}

// At other window sizes the canvas follows the window's edges and Close its bottom right
// corner, and the dots at the ends of both scales stand where the new canvas puts them:
// position across W / 220 pixels a unit from W / 2 - 20, importance up H / 115 from 7 below
// the bottom.
struct GraphSize {
    int32_t width;
    int32_t height;
};

class GraphSizeTest : public graphtest::GraphTest,
                      public ::testing::WithParamInterface<GraphSize> {};

TEST_P(GraphSizeTest, TheCanvasAndTheDotsFollowTheWindow)
{
    const GraphSize& size = GetParam();
    graph& w = openGraph({{"Issue"}, {"Top right", 100, 100}, {"Bottom left", -100, 0}});
    w.CheckBox1->setValue(false); // no captions
    w.setSize(size.width, size.height);
    platform::testing::processEvents();
    const int32_t cw = size.width - 48;
    const int32_t ch = size.height - 48;
    ASSERT_EQ(w.cGraph->width(), cw);
    ASSERT_EQ(w.cGraph->height(), ch);
    EXPECT_EQ(w.PushButton1->left(), size.width - 89);
    EXPECT_EQ(w.PushButton1->top(), size.height - 28);
    const Picture pic = platform::testing::shownPixels(*w.cGraph);
    const double xs = static_cast<float>(cw / 220.0);
    const double ys = static_cast<float>(ch / 115.0);
    for (const auto& [position, importance] : {std::pair{100, 100}, std::pair{-100, 0}}) {
        const int x = static_cast<int>(xs * position + cw / 2.0 - 20) - 2;
        const int y = static_cast<int>(ch - ys * (importance + 7)) - 2;
        SCOPED_TRACE("dot at " + std::to_string(x) + ", " + std::to_string(y));
        EXPECT_EQ(pic.pixel(x, y), graphtest::kWhite);
        EXPECT_EQ(pic.pixel(x + 3, y + 3), graphtest::kWhite);
        EXPECT_NE(pic.pixel(x - 1, y + 1), graphtest::kWhite) << "the background beside it";
        EXPECT_NE(pic.pixel(x + 4, y + 1), graphtest::kWhite);
    }
    EXPECT_EQ(pic.pixel(cw - 2, ch / 2), graphtest::kBlack) << "the frame's right side";
    EXPECT_EQ(pic.pixel(cw / 3, ch - 2), graphtest::kBlack) << "the frame's bottom";
}

INSTANTIATE_TEST_SUITE_P(Sizes, GraphSizeTest,
                         ::testing::Values(GraphSize{1000, 600}, GraphSize{640, 400}),
                         [](const ::testing::TestParamInfo<GraphSize>& info) {
                             return std::to_string(info.param.width) + "x" +
                                    std::to_string(info.param.height);
                         });

class GraphWindowSizeTest : public graphtest::GraphTest {};

// However small the user makes the window, its bottom row keeps clear, and the scale's ends
// lie on the canvas.
TEST_F(GraphWindowSizeTest, AtItsSmallestTheControlsKeepClearAndTheScaleIsWhole)
{
    graph& w = openGraph({{"Issue"}, {"Left end", -100, 50}, {"Right end", 100, 50}});
    w.setSize(64, 64);
    platform::testing::processEvents();
    EXPECT_EQ(w.width(), graph::kMinimumWidth);
    EXPECT_EQ(w.height(), graph::kMinimumHeight);
    const platform::Control* row[] = {w.StaticText1, w.CheckBox2, w.CheckBox1, w.PushButton1};
    for (size_t i = 0; i + 1 < std::size(row); ++i)
        EXPECT_LE(row[i]->left() + row[i]->width(), row[i + 1]->left())
            << row[i]->name() << " runs under " << row[i + 1]->name();
    const GraphMapping m = GraphMapping::screen(w.cGraph->width(), w.cGraph->height());
    EXPECT_GE(m.plotx(-100) - 2, 0) << "the -100 end is off the canvas";
    EXPECT_LE(m.plotx(100) + 2, w.cGraph->width());
}

} // namespace
