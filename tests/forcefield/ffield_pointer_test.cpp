#include "tests/forcefield/forcefield_fixture.h"

#include "app/Companions.h"
#include "app/frmDetails.h"
#include "app/frmMain.h"

#include "tests/support/modal_script.h"
#include "tests/support/paint_counter.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace pt = platform::testing;
using testsupport::ModalScript;

// The fixture's columns (107 apart) and the screen's 5 score units to the pixel.
constexpr int32_t kColumn[] = {10, 117, 224, 331, 438};

// A drag 80 pixels down: in a column whose player has no arrow (a player without score), at 5
// score units to the pixel, the new score of 400 is shared out as 20 and 20.
constexpr int32_t kFromY = 400;
constexpr int32_t kToY = 480;

class ForceFieldPointerTest : public fftest::ForceFieldTest {
protected:
    void SetUp() override
    {
        ForceFieldTest::SetUp();
        // A canvas 654 pixels high puts the base lines on whole pixels (109 and 545), so that
        // the scores below come out exactly.
        ff().setSize(674, 709);
        pt::processEvents();
        ASSERT_EQ(ff().cGraph->height(), 654);
        paint(); // the values the mouse works with
    }

    platform::Canvas& canvas() { return *ff().cGraph; }

    void drag(int32_t x, int32_t fromY, int32_t toY)
    {
        pt::mousePress(canvas(), x, fromY);
        pt::mouseRelease(canvas(), x, toY);
    }

    // The drag from kFromY to kToY in player i's column of a freshly opened window, on player i
    // given back its position and importance, gives what it has now.
    void expectAsInAFreshWindow(int32_t i, int32_t position, int32_t importance)
    {
        const Player now = main().Player[i];
        main().Player[i].Position = position;
        main().Player[i].Importance = importance;
        pt::clickCloseBox(ff());
        pt::processEvents();
        ShowForceField();
        ff().setSize(674, 709);
        pt::processEvents();
        drag(kColumn[i], kFromY, kToY);
        EXPECT_EQ(main().Player[i].Position, now.Position) << "a fresh window";
        EXPECT_EQ(main().Player[i].Importance, now.Importance) << "a fresh window";
    }

    // Answers the player editor: checks whom it edits, renames the player and presses OK.
    static void editAndRename(ModalScript& script, std::string expectedName, std::string newName)
    {
        script.window([expectedName, newName](platform::Window& w) {
            frmDetails& d = dynamic_cast<frmDetails&>(w);
            EXPECT_EQ(d.title(), "Edit player information");
            EXPECT_EQ(d.efName->text(), expectedName);
            d.efName->setText(newName);
            d.PushButton1->push();
        });
    }
};

// --- A vertical drag gives a new score, split over position and importance ---

struct DragCase {
    const char* name;
    int32_t player;
    int32_t fromY;
    int32_t toY;
    int32_t position; ///< afterwards
    int32_t importance;
};

class DragTest : public ForceFieldPointerTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(DragTest, TurnsTheDistanceIntoANewScore)
{
    const DragCase& c = GetParam();
    drag(kColumn[c.player], c.fromY, c.toY);
    const Player& p = main().Player[c.player];
    EXPECT_EQ(p.Position, c.position);
    EXPECT_EQ(p.Importance, c.importance);
    EXPECT_TRUE(main().FileChanged);
    EXPECT_FALSE(frmDetails::exists()) << "a drag opens no editor";
}

// Scores of +-400 move by 5 per pixel: 190 pixels make 1350 = 400 x 1.5^3, the importance
// takes one factor 1.5 and the position two. Past the zero line the importance becomes 0.
// A player without score (position 0) shares a new score of +-400 out as 20 and +-20. The
// press may lie anywhere in the column: only the vertical distance counts.
INSTANTIATE_TEST_SUITE_P(
    Drags, DragTest,
    ::testing::Values(DragCase{"SupporterDownTowardsTheBand", 1, 100, 290, 22, 60},
                      DragCase{"SupporterUpPastItsZeroLine", 1, 190, 90, 10, 0},
                      DragCase{"OpponentUpTowardsTheBand", 2, 600, 410, -22, 60},
                      DragCase{"OpponentDownPastItsZeroLine", 2, 460, 560, -10, 0},
                      DragCase{"OpponentShrunkByAnEighth", 2, 460, 530, -2, 20},
                      DragCase{"NoScoreDraggedDown", 3, 400, 480, 20, 20},
                      DragCase{"NoScoreDraggedUp", 3, 400, 320, -20, 20},
                      DragCase{"NoScoreByExactlyFive", 3, 400, 401, 0, 50}),
    [](const auto& info) { return std::string(info.param.name); });

// Delta (unknown stance, position 30, importance 50) has a column but no arrow: a drag there,
// up or down, by little or by far, changes nobody and leaves the document unchanged.
class UnknownColumnDragTest : public ForceFieldPointerTest,
                              public ::testing::WithParamInterface<std::pair<int32_t, int32_t>> {};

TEST_P(UnknownColumnDragTest, ChangesNobody)
{
    const auto [fromY, toY] = GetParam();
    drag(kColumn[4], fromY, toY);
    const Player& p = main().Player[4];
    EXPECT_EQ(p.Position, 30);
    EXPECT_EQ(p.Importance, 50);
    EXPECT_TRUE(p.Unknown);
    EXPECT_FALSE(main().FileChanged);
    EXPECT_FALSE(frmDetails::exists()) << "a drag opens no editor";
}

INSTANTIATE_TEST_SUITE_P(Drags, UnknownColumnDragTest,
                         ::testing::Values(std::pair{400, 480}, std::pair{400, 320},
                                           std::pair{100, 600}, std::pair{600, 5}));

struct SplitCase {
    const char* name;
    int32_t position;
    int32_t importance;
    double oldScore;
    float newScore;
    int32_t newPosition;
    int32_t newImportance;
};

class SplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, GivesThePositionTwoThirdsOfTheChange)
{
    const SplitCase& c = GetParam();
    Player p;
    p.Position = c.position;
    p.Importance = c.importance;
    ApplyDraggedScore(p, c.oldScore, c.newScore);
    EXPECT_EQ(p.Position, c.newPosition);
    EXPECT_EQ(p.Importance, c.newImportance);
}

INSTANTIATE_TEST_SUITE_P(
    Splits, SplitTest,
    ::testing::Values(SplitCase{"Doubled", 20, 40, 800, 6400, 80, 80},
                      // A drag never stores more than the sliders hold: the position stops at
                      // 100 (200 shared out), the importance too (180).
                      SplitCase{"PositionStopsAtTheEnd", 50, 40, 2000, 16000, 100, 80},
                      SplitCase{"BothStopAtTheirEnds", -50, 90, -4500, -36000, -100, 100},
                      SplitCase{"SharedOutBeyondTheEnds", 0, 0, 0, 40000, 100, 100},
                      SplitCase{"Halved", 80, 50, 4000, 500, 20, 25},
                      SplitCase{"PositionKeptFromZero", 1, 100, 100, 20, 1, 58},
                      SplitCase{"NegativePositionKeptFromZero", -1, 100, -100, -20, -1, 58},
                      // An old score on the other side (left by an earlier drawing, or from a
                      // negative importance) has no real cube root: shared out as a new one.
                      SplitCase{"OldScoreOnTheOtherSide", 0, 50, -400, 900, 30, 30},
                      SplitCase{"NegativeImportance", 10, -40, -400, 100, 10, 10}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Picking the column ---

struct PickCase {
    int32_t x;
    int32_t xstep;
    int32_t numPlayer;
    int32_t picked;
};

class PickTest : public ::testing::TestWithParam<PickCase> {};

TEST_P(PickTest, PicksTheNearestAxisInsideTheDocument)
{
    const PickCase& c = GetParam();
    EXPECT_EQ(PickForceFieldColumn(c.x, c.xstep, c.numPlayer), c.picked);
}

INSTANTIATE_TEST_SUITE_P(Columns, PickTest,
                         ::testing::Values(PickCase{117, 107, 4, 1}, PickCase{0, 107, 4, 1},
                                           PickCase{640, 107, 4, 4}, PickCase{170, 107, 4, 1},
                                           PickCase{171, 107, 4, 2}, PickCase{300, 107, 0, 0},
                                           // A canvas too narrow for its columns.
                                           PickCase{20, 0, 50, 10}, PickCase{-5, 0, 50, 1}));

// --- A click edits ---

TEST_F(ForceFieldPointerTest, AReleaseAtThePressHeightEditsThePickedPlayer)
{
    ModalScript script;
    editAndRename(script, "Bravo", "Bravissimo");
    pt::mousePress(canvas(), 230, 300);
    pt::mouseRelease(canvas(), 400, 300); // sideways does not count
    ASSERT_TRUE(script.done());
    const Player& p = main().Player[2];
    EXPECT_EQ(p.Name, "Bravissimo");
    EXPECT_EQ(p.Width, 7 * 10 + 20);
    EXPECT_EQ(p.xcentre, p.x + 45);
    EXPECT_EQ(p.ycentre, p.y + 15);
    EXPECT_EQ(p.Position, -10) << "the editor's values, unchanged";
    EXPECT_TRUE(main().FileChanged);
}

// At 5 score units to the pixel a release one pixel above or below the press changes the
// score by exactly 5, which is already a drag; only the press height itself is a click.
struct ReleaseHeightCase {
    const char* name;
    int32_t player;
    int32_t dy; ///< pixels from the press to the release
    bool click;
};

class ReleaseHeightTest : public ForceFieldPointerTest,
                          public ::testing::WithParamInterface<ReleaseHeightCase> {};

TEST_P(ReleaseHeightTest, OnlyThePressHeightIsAClick)
{
    const ReleaseHeightCase& c = GetParam();
    const std::string name = main().Player[c.player].Name;
    ModalScript script;
    if (c.click)
        editAndRename(script, name, name);
    drag(kColumn[c.player], 300, 300 + c.dy);
    EXPECT_TRUE(script.done());
    EXPECT_FALSE(!c.click && frmDetails::exists()) << "a drag opens no editor";
}

INSTANTIATE_TEST_SUITE_P(Releases, ReleaseHeightTest,
                         ::testing::Values(ReleaseHeightCase{"SupporterAtThePress", 1, 0, true},
                                           ReleaseHeightCase{"SupporterOnePixelDown", 1, 1, false},
                                           ReleaseHeightCase{"SupporterOnePixelUp", 1, -1, false},
                                           ReleaseHeightCase{"OpponentAtThePress", 2, 0, true},
                                           ReleaseHeightCase{"OpponentOnePixelUp", 2, -1, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ForceFieldPointerTest, AClickInAnEmptyColumnEditsThatPlayer)
{
    ModalScript script;
    editAndRename(script, "Delta", "Delta");
    drag(kColumn[4], 200, 200);
    EXPECT_TRUE(script.done());
}

TEST_F(ForceFieldPointerTest, DeletingTheLastPlayerInTheEditorLeavesTheMouseSafe)
{
    ModalScript script;
    script.window([](platform::Window& w) { dynamic_cast<frmDetails&>(w).PushButton2->push(); });
    drag(kColumn[4], 200, 200);
    ASSERT_EQ(main().NumPlayer, 3);
    EXPECT_TRUE(main().FileChanged);
    EXPECT_EQ(ff().foundnum, 4) << "left from the press, beyond the document now";
    // Whatever the release finds before the next press, it touches nobody.
    ff().cGraph_MouseUp({kColumn[4], 300, false});
    EXPECT_EQ(main().NumPlayer, 3);
    drag(kColumn[4], 200, 260);
    // The last column now is Charlie's, a player without score: 300 is shared out as 17 each.
    EXPECT_EQ(main().Player[3].Position, 17);
    EXPECT_EQ(main().Player[3].Importance, 17);
}

// --- A press works on the document as it is, whatever the last paint showed ---

TEST_F(ForceFieldPointerTest, AfterADeleteADragWorksFromThePlayerNowInThatColumn)
{
    // A click in Bravo's column opens the editor, whose "Delete" moves Charlie (position 0,
    // no arrow) into index 2; Bravo's score of -400 must not stay with that index.
    ModalScript script;
    script.window([](platform::Window& w) {
        frmDetails& d = dynamic_cast<frmDetails&>(w);
        EXPECT_EQ(d.efName->text(), "Bravo");
        d.PushButton2->push();
    });
    drag(kColumn[2], 300, 300);
    ASSERT_TRUE(script.done());
    ASSERT_EQ(main().Player[2].Name, "Charlie");
    pt::processEvents();

    drag(kColumn[2], kFromY, kToY);
    EXPECT_EQ(main().Player[2].Position, 20);
    EXPECT_EQ(main().Player[2].Importance, 20);
    expectAsInAFreshWindow(2, 0, 50);
}

TEST_F(ForceFieldPointerTest, AReleasePaintsTheForceFieldBeforeTheSpiderPlot)
{
    // The view the user drags in reaches the screen first, the spider plot in the same turn.
    pt::processEvents();
    testsupport::PaintOrder order({{&canvas(), "force field"}, {main().Canvas1, "spider plot"}});
    for (const bool click : {false, true}) {
        order.clear();
        ModalScript script;
        if (click)
            editAndRename(script, "Alpha", "Alpha");
        drag(kColumn[1], kFromY, click ? kFromY : kToY);
        pt::processEvents();
        EXPECT_EQ(order.first(), "force field") << (click ? "a click" : "a drag");
        EXPECT_TRUE(order.painted("spider plot"));
    }
}

TEST_F(ForceFieldPointerTest, FileOpenRepaintsTheForceFieldAndItsColumnsFollowTheNewDocument)
{
    // Alpha's column (score 400) now holds Mayor, a player without score.
    testsupport::TempDir dir;
    {
        testsupport::PaintCounter paints(*ff().cGraph);
        testsupport::OpenDocumentFile(main(), {{"Council"}, {"Mayor", 0, 65}, {"Press", 30, 50}},
                                      dir.file("other.dat"));
        EXPECT_TRUE(paints.waitForPaint()) << "the force field still shows the document before";
        EXPECT_FLOAT_EQ(ff().posn[2], 1500);
    }

    // The new document's scale: 1500 x 3.2 / 654 score units to the pixel, so 80 pixels make
    // 587, shared out as 24 and 24.
    drag(kColumn[1], kFromY, kToY);
    EXPECT_EQ(main().Player[1].Position, 24);
    EXPECT_EQ(main().Player[1].Importance, 24);
    EXPECT_EQ(main().Player[2].Position, 30);
    expectAsInAFreshWindow(1, 0, 65);
}

TEST_F(ForceFieldPointerTest, APressBeforeAnyPaintMapsAsThePaintWill)
{
    ff().xstep = 0;
    ff().ymax = 0;
    ff().posn = {};
    drag(kColumn[1], 100, 290);
    EXPECT_EQ(main().Player[1].Position, 22);
    EXPECT_EQ(main().Player[1].Importance, 60);
}

TEST_F(ForceFieldPointerTest, WithOnlyTheCentralIssueAReleaseDoesNothing)
{
    testsupport::LoadDocument(main(), {{"Issue", 20, 50}});
    paint();
    drag(300, 100, 300);
    EXPECT_EQ(ff().foundnum, 0);
    EXPECT_EQ(main().Player[0].Position, 20);
    EXPECT_FALSE(main().FileChanged);
}

TEST_F(ForceFieldPointerTest, ANarrowCanvasStillPicksAPlayerOfTheDocument)
{
    std::vector<testsupport::FixturePlayer> players{{"Issue"}};
    for (int i = 1; i <= kPlayerLimit; ++i)
        players.emplace_back("P" + std::to_string(i), 10, 10);
    testsupport::LoadDocument(main(), players);
    ff().setSize(64, 64);
    pt::processEvents();
    paint();
    EXPECT_EQ(ff().xstep, 0);
    drag(20, 5, 6);
    EXPECT_GE(ff().foundnum, 1);
    EXPECT_LE(ff().foundnum, kPlayerLimit);
}

} // namespace
