// Where a still click on the spider plot edits a player and where it moves one: inside the box
// only, its edges excluded, and only while the pointer moved less than 7 units.

#include "app/frmDetails.h"
#include "app/frmMain.h"

#include "tests/support/app_fixture.h"
#include "tests/support/modal_script.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

namespace {

namespace pt = platform::testing;
using testsupport::ModalScript;

struct ClickCase {
    const char* name;
    int32_t pressX, pressY, releaseX, releaseY;
    bool edits; ///< otherwise the player's centre goes to the release point
};

class ClickOrMoveTest : public testsupport::AppTest,
                        public ::testing::WithParamInterface<ClickCase> {};

// Player 1's box: corner (100, 100), 41 by 30 units at the design size.
INSTANTIATE_TEST_SUITE_P(Edges, ClickOrMoveTest,
                         ::testing::Values(ClickCase{"JustInsideTopLeft", 101, 101, 101, 101, true},
                                           ClickCase{"JustInsideBottomRight", 140, 129, 140, 129,
                                                     true},
                                           ClickCase{"OnTheLeftEdge", 100, 110, 100, 110, false},
                                           ClickCase{"OnTheRightEdge", 141, 110, 141, 110, false},
                                           ClickCase{"OnTheTopEdge", 110, 100, 110, 100, false},
                                           ClickCase{"OnTheBottomEdge", 110, 130, 110, 130, false},
                                           ClickCase{"SixUnitsUpAndLeft", 120, 120, 114, 114, true},
                                           ClickCase{"SevenUnitsUp", 120, 120, 120, 113, false},
                                           ClickCase{"SevenUnitsLeft", 120, 120, 113, 120, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(ClickOrMoveTest, EditsOnlyForAStillClickInsideTheBox)
{
    const ClickCase& c = GetParam();
    frmMain& m = main();
    testsupport::LoadDocument(
        m, {{"Issue", 0, 50, 353, 271}, {"Abc", 0, 50, 100, 100}, {"Defg", 0, 50, 400, 300}});
    m.ScaleFactorx = 1;
    m.ScaleFactorY = 1;
    ModalScript script;
    if (c.edits)
        script.window([](platform::Window& w) {
            auto& d = dynamic_cast<frmDetails&>(w);
            EXPECT_EQ(d.title(), "Edit player information");
            d.PushButton1->push();
        });
    platform::Canvas& canvas = *m.Canvas1;
    pt::mousePress(canvas, c.pressX, c.pressY);
    if (c.releaseX != c.pressX || c.releaseY != c.pressY)
        pt::mouseMove(canvas, c.releaseX, c.releaseY);
    pt::mouseRelease(canvas, c.releaseX, c.releaseY);
    EXPECT_TRUE(script.done());
    const Player& p = m.Player[1];
    if (c.edits) {
        EXPECT_EQ(p.x, 100);
        EXPECT_EQ(p.y, 100);
    } else {
        EXPECT_EQ(p.xcentre, c.releaseX);
        EXPECT_EQ(p.ycentre, c.releaseY);
    }
}

} // namespace
