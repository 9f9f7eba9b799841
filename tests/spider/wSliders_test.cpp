#include "spider/wSliders.h"

#include "app/frmDetails.h"
#include "app/frmMain.h"

#include "tests/support/app_fixture.h"
#include "tests/support/largest_document.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace pt = platform::testing;
using testsupport::Kind;
using testsupport::ModalScript;

class wSlidersTest : public testsupport::AppTest {
protected:
    wSliders& sliders() { return wSliders::instance(); }
};

TEST_F(wSlidersTest, RowsRunFromTheMostHostileWithEqualPositionsInIndexOrder)
{
    testsupport::LoadDocument(main(), {{"Issue"}, {"A", 30}, {"B", -60}, {"C", 30}, {"D", 0}});
    wSliders& w = sliders();
    ASSERT_EQ(w.rowCount(), 4);
    EXPECT_EQ(w.order[1], 2);
    EXPECT_EQ(w.order[2], 4);
    EXPECT_EQ(w.order[3], 1);
    EXPECT_EQ(w.order[4], 3);
    EXPECT_EQ(w.st[1]->text(), "B");
    EXPECT_EQ(w.slide[1]->value(), -60);
    EXPECT_EQ(w.ef[1]->text(), "-60");
    EXPECT_EQ(w.slide[1]->top(), 23);
    EXPECT_EQ(w.st[1]->top(), 13);
    EXPECT_FALSE(w.ScrollBar1->isVisible());
}

TEST_F(wSlidersTest, TwentySixPlayersMakeASecondPage)
{
    std::vector<testsupport::FixturePlayer> players{{"Issue"}};
    for (int i = 1; i <= 26; ++i)
        players.emplace_back("P" + std::to_string(i), i);
    testsupport::LoadDocument(main(), players);
    wSliders& w = sliders();
    EXPECT_TRUE(w.ScrollBar1->isVisible());
    EXPECT_EQ(w.slide[26], nullptr) << "built on the first visit";
    w.ScrollBar1->setValue(1);
    ASSERT_NE(w.slide[26], nullptr);
    EXPECT_EQ(w.slide[26]->top(), 23) << "at the first row's place";
    EXPECT_FALSE(w.slide[1]->isVisible());
    w.slide[26]->setValue(-5);
    w.ScrollBar1->setValue(0);
    w.ScrollBar1->setValue(1);
    EXPECT_EQ(w.ef[26]->text(), "-5") << "the second page keeps what the user left";
    w.PushButton2->push();
    EXPECT_EQ(main().Player[26].Position, -5);
}

TEST_F(wSlidersTest, CloseWritesTheMovedRowsBack)
{
    testsupport::LoadDocument(main(), {{"Issue"}, {"A", 30}, {"B", -60}});
    wSliders& w = sliders();
    w.ef[1]->setText("-70"); // B, typed
    EXPECT_EQ(w.slide[1]->value(), -70);
    ModalScript script; // "Close" keeps them without a question
    w.PushButton2->push();
    EXPECT_TRUE(script.done());
    EXPECT_FALSE(wSliders::exists());
    EXPECT_EQ(main().Player[2].Position, -70);
    EXPECT_EQ(main().Player[1].Position, 30);
    EXPECT_TRUE(main().FileChanged);
}

// Every other way out of the window with an edit not yet kept asks: "Keep" writes it back as
// "Close" does, "Discard" drops it, and "Cancel" or backing out of the question goes back to
// the window with the edit still in it.
struct UnkeptCase {
    const char* name;
    int answer; ///< the question's button; -1 backs out of it
    bool kept;
    bool closes;
};

class UnkeptEditTest : public wSlidersTest, public ::testing::WithParamInterface<UnkeptCase> {};

TEST_P(UnkeptEditTest, TheCloseBoxAsksAndEachAnswerDoesWhatItSays)
{
    const UnkeptCase& c = GetParam();
    testsupport::LoadDocument(main(), {{"Issue"}, {"A", 30}, {"B", -60}});
    wSliders& w = sliders();
    w.slide[2]->setValue(45); // A
    ModalScript script;
    script.expect(Kind::Question, [&c](const platform::testing::ModalRequest& q) {
        EXPECT_EQ(q.title, "Sliders");
        EXPECT_EQ(q.message, "Keep the positions you changed in the sliders?");
        EXPECT_EQ(q.buttons, (std::vector<std::string>{"Keep", "Discard", "Cancel"}));
        return c.answer < 0 ? platform::testing::ModalAnswer::cancel()
                            : platform::testing::ModalAnswer::button(c.answer);
    });
    pt::clickCloseBox(w);
    EXPECT_TRUE(script.done());
    ASSERT_EQ(wSliders::exists(), !c.closes);
    EXPECT_EQ(main().Player[1].Position, c.kept ? 45 : 30);
    EXPECT_EQ(main().FileChanged, c.kept);
    if (!c.closes) {
        EXPECT_EQ(w.slide[2]->value(), 45) << "the edit is still there";
        ModalScript none;
        w.PushButton2->push();
        EXPECT_EQ(main().Player[1].Position, 45);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, UnkeptEditTest,
                         ::testing::Values(UnkeptCase{"Keep", 0, true, true},
                                           UnkeptCase{"Discard", 1, false, true},
                                           UnkeptCase{"Cancel", 2, false, false},
                                           UnkeptCase{"BackedOut", -1, false, false}),
                         [](const auto& info) { return info.param.name; });

// The real question, answered by its own buttons: Escape goes back to the window, "Keep" then
// keeps the edit.
TEST_F(wSlidersTest, TheRealQuestionGoesBackOnEscapeAndKeepsOnKeep)
{
    testsupport::LoadDocument(main(), {{"Issue"}, {"A", 30}, {"B", -60}});
    wSliders& w = sliders();
    w.slide[2]->setValue(45); // A
    pt::RealDialogs dialogs;
    dialogs
        .then([](pt::RealDialog& d) {
            EXPECT_EQ(d.title(), "Sliders");
            EXPECT_EQ(d.text(), "Keep the positions you changed in the sliders?");
            EXPECT_EQ(d.defaultButton(), "Keep");
            d.pressEscape();
        })
        .then([](pt::RealDialog& d) { EXPECT_TRUE(d.press("Keep")); });
    pt::clickCloseBox(w);
    ASSERT_TRUE(wSliders::exists()) << "Escape went back to the window";
    EXPECT_EQ(main().Player[1].Position, 30);
    pt::clickCloseBox(w);
    EXPECT_FALSE(wSliders::exists());
    EXPECT_EQ(main().Player[1].Position, 45);
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(dialogs.unanswered(), std::vector<std::string>{});
}

TEST_F(wSlidersTest, WithoutEditsTheCloseBoxClosesAtOnce)
{
    testsupport::LoadDocument(main(), {{"Issue"}, {"A", 30}, {"B", -60}});
    wSliders& w = sliders();
    w.slide[2]->setValue(45);
    w.slide[2]->setValue(30); // back where it was: nothing to keep
    ModalScript none;
    pt::clickCloseBox(w);
    EXPECT_FALSE(wSliders::exists());
    EXPECT_FALSE(main().FileChanged);
}

// Quitting with an edit in the sliders asks about it before the save prompt, which then offers
// to save the positions kept; going back to the sliders calls the quit off.
TEST_F(wSlidersTest, QuittingAsksAboutTheEditsFirst)
{
    testsupport::LoadDocument(main(), {{"Issue"}, {"A", 30}});
    wSliders& w = sliders();
    w.slide[1]->setValue(-20);
    {
        ModalScript script;
        script.question(2); // back to the sliders
        main().close();
        EXPECT_TRUE(script.done());
        EXPECT_FALSE(main().isClosed());
        EXPECT_TRUE(wSliders::exists());
    }
    ModalScript script;
    script.question(0); // keep them
    script.window([](platform::Window& prompt) {
        EXPECT_EQ(prompt.title(), "Save your data");
        prompt.close(); // backs out: the quit stops, the document keeps the position
    });
    main().close();
    EXPECT_TRUE(script.done());
    EXPECT_FALSE(wSliders::exists());
    EXPECT_EQ(main().Player[1].Position, -20);
    EXPECT_TRUE(main().FileChanged);
}

TEST_F(wSlidersTest, NothingMovedWritesNothing)
{
    testsupport::LoadDocument(main(), {{"Issue"}, {"Far", 150}});
    sliders().PushButton2->push();
    EXPECT_EQ(main().Player[1].Position, 150) << "an untouched position outside the range stays";
    EXPECT_FALSE(main().FileChanged);
}

TEST_F(wSlidersTest, ANegativeNumberCanBeTypedCharacterByCharacter)
{
    testsupport::LoadDocument(main(), {{"Issue"}, {"A", 30}});
    wSliders& w = sliders();
    for (const char* typed : {"", "-", "-4", "-40"})
        w.ef[1]->setText(typed);
    EXPECT_EQ(w.ef[1]->text(), "-40");
    EXPECT_EQ(w.slide[1]->value(), -40);
}

// A number beyond the slider's end leaves the slider there, and the field then says so, also
// when the slider stood at that end already and so reports no change.
TEST_F(wSlidersTest, ANumberBeyondTheRangeShowsTheSlidersEnd)
{
    testsupport::LoadDocument(main(), {{"Issue"}, {"A", 100}, {"B", 0}});
    wSliders& w = sliders();
    ASSERT_EQ(w.order[2], 1);
    w.ef[2]->setText("150");
    EXPECT_EQ(w.slide[2]->value(), 100);
    EXPECT_EQ(w.ef[2]->text(), "100");
    w.ef[1]->setText("-250");
    EXPECT_EQ(w.slide[1]->value(), -100);
    EXPECT_EQ(w.ef[1]->text(), "-100");
}

TEST_F(wSlidersTest, ARowWritesOnlyToItsOwnPlayerWhereverItNowStands)
{
    testsupport::TempDir dir;
    testsupport::OpenDocumentFile(main(),
                                  {{"Council", 0, 50, 353, 271},
                                   {"Mayor", -30, 50, 100, 100},
                                   {"Café owners", 20, 50, 100, 300},
                                   {"Press", 50, 50, 500, 100}},
                                  dir.file("town.dat"));
    main().PushButton2->push();
    wSliders& w = sliders();
    ASSERT_EQ(w.st[1]->text(), "Mayor");
    ASSERT_EQ(w.st[2]->text(), "Café owners");

    // Meanwhile, on the map: a Ctrl-click adds a player, a click on Mayor's box deletes him.
    // The count is as it was; Café owners now stands at Mayor's index.
    main().SetMapping(main().width(), main().height()); // as the map's paint does
    platform::Canvas& map = *main().Canvas1;
    {
        ModalScript script;
        script.window([](platform::Window& win) {
            frmDetails& d = dynamic_cast<frmDetails&>(win);
            d.efName->setText("Newcomer");
            d.PushButton1->push();
        });
        pt::mousePress(map, 600, 450, pt::Command);
        pt::mouseRelease(map, 600, 450, pt::Command);
        script.window([](platform::Window& win) {
            frmDetails& d = dynamic_cast<frmDetails&>(win);
            EXPECT_EQ(d.efName->text(), "Mayor");
            d.PushButton2->push();
        });
        pt::mousePress(map, 110, 110);
        pt::mouseRelease(map, 110, 110);
        ASSERT_TRUE(script.done());
    }
    ASSERT_EQ(main().NumPlayer, 3);
    ASSERT_EQ(main().Player[1].Name, "Café owners");
    main().FileChanged = false;

    w.ef[1]->setText("-80");  // Mayor's row: he is gone
    w.slide[2]->setValue(35); // Café owners' row
    w.PushButton2->push();
    EXPECT_EQ(main().Player[1].Position, 35);
    EXPECT_EQ(main().Player[2].Name, "Press");
    EXPECT_EQ(main().Player[2].Position, 50);
    EXPECT_EQ(main().Player[3].Name, "Newcomer");
    EXPECT_EQ(main().Player[3].Position, -10);
    EXPECT_TRUE(main().FileChanged);
}

TEST_F(wSlidersTest, ARowOfAPlayerDeletedMeanwhileWritesNowhere)
{
    testsupport::LoadDocument(main(), {{"Issue"}, {"A", 30}, {"B", 10}});
    wSliders& w = sliders();
    w.slide[1]->setValue(-90); // B's row
    main().NumPlayer = 1;      // B was deleted meanwhile
    w.PushButton2->push();
    EXPECT_EQ(main().Player[1].Position, 30);
    EXPECT_FALSE(main().FileChanged);
}

// The largest document: 25 rows on each page, the most hostile player first and the most
// friendly last; the first and last rows of each page stand in the first and last places, and
// Close writes back a slider of each page's first and last rows.
TEST_F(wSlidersTest, AtTheLimitEachPageHoldsItsFirstAndLastRowsInPlace)
{
    namespace largest = testsupport::largest;
    testsupport::TempDir dir;
    largest::Open(main(), dir.file("largest.dat"));
    main().PushButton2->push();
    wSliders& w = sliders();
    ASSERT_EQ(w.rowCount(), kPlayerLimit);
    const std::vector<int32_t> order = largest::byPosition();
    ASSERT_EQ(main().Player[order.front()].Position, -100);
    ASSERT_EQ(main().Player[order.back()].Position, 100);
    EXPECT_TRUE(w.ScrollBar1->isVisible());

    auto expectRow = [&](int32_t row, int32_t place) {
        SCOPED_TRACE("row " + std::to_string(row));
        const Player& p = main().Player[order[static_cast<size_t>(row - 1)]];
        ASSERT_NE(w.slide[row], nullptr);
        EXPECT_EQ(w.order[row], order[static_cast<size_t>(row - 1)]);
        EXPECT_EQ(w.st[row]->text(), p.Name);
        EXPECT_EQ(w.slide[row]->value(), p.Position);
        EXPECT_EQ(w.ef[row]->text(), std::to_string(p.Position));
        EXPECT_EQ(w.st[row]->top(), 23 * place - 10);
        EXPECT_EQ(w.slide[row]->top(), 23 * place);
        EXPECT_EQ(w.ef[row]->top(), 23 * place - 10);
        EXPECT_TRUE(w.slide[row]->isVisible());
        EXPECT_TRUE(w.ef[row]->isVisible());
        EXPECT_TRUE(w.st[row]->isVisible());
    };
    for (const int32_t row : {1, 2, 24, 25})
        expectRow(row, row);
    EXPECT_EQ(w.slide[26], nullptr) << "the second page is built when it is first shown";
    w.slide[1]->setValue(-90);
    w.slide[25]->setValue(5);

    w.ScrollBar1->setValue(1);
    for (const int32_t row : {26, 27, 49, 50})
        expectRow(row, row - 25);
    EXPECT_FALSE(w.slide[1]->isVisible());
    EXPECT_FALSE(w.slide[25]->isVisible());
    w.ef[50]->setText("90");
    w.slide[26]->setValue(-3);

    // Back to the first page and on to the second again: both keep what the user left.
    w.ScrollBar1->setValue(0);
    EXPECT_TRUE(w.slide[25]->isVisible());
    EXPECT_FALSE(w.slide[50]->isVisible());
    EXPECT_EQ(w.slide[25]->value(), 5);
    w.ScrollBar1->setValue(1);
    EXPECT_TRUE(w.slide[26]->isVisible());
    EXPECT_TRUE(w.slide[50]->isVisible());
    EXPECT_TRUE(w.ef[50]->isVisible());
    EXPECT_EQ(w.ef[50]->text(), "90");

    const int32_t untouched = order[1];
    const int32_t untouchedPosition = main().Player[untouched].Position;
    w.PushButton2->push();
    EXPECT_EQ(main().Player[order[0]].Position, -90);
    EXPECT_EQ(main().Player[order[24]].Position, 5);
    EXPECT_EQ(main().Player[order[25]].Position, -3);
    EXPECT_EQ(main().Player[order[49]].Position, 90);
    EXPECT_EQ(main().Player[untouched].Position, untouchedPosition);
    EXPECT_EQ(main().Player[0].Position, largest::player(0).Position);
    EXPECT_TRUE(main().FileChanged);
}

} // namespace
