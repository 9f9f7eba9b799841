#include "app/frmDetails.h"
#include "app/frmLinks.h"
#include "app/frmMain.h"

#include "spider/wSwing.h"

#include "tests/support/app_fixture.h"
#include "tests/support/modal_script.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

namespace {

using testsupport::AppTest;
using testsupport::LoadDocument;
using testsupport::ModalScript;

frmDetails& editor(platform::Window& w)
{
    return dynamic_cast<frmDetails&>(w);
}

class frmDetailsTest : public AppTest {
protected:
    // A new player appended as the creation paths do it.
    int32_t appendNewPlayer()
    {
        frmMain& m = main();
        m.NumPlayer += 1;
        m.Current = m.NumPlayer;
        m.Player[m.Current] = Player{};
        m.Player[m.Current].LinkMain = true;
        m.Player[m.Current].xcentre = 300;
        m.Player[m.Current].ycentre = 200;
        m.CurrentIsNew = true;
        return m.Current;
    }
};

TEST_F(frmDetailsTest, OkWithoutChangesStoresTheLayoutValuesForANewPlayer)
{
    LoadDocument(main(), {{"Budget"}});
    const int32_t i = appendNewPlayer();
    main().Player[i].Position = 77; // a stale value the editor must not show
    ModalScript script;
    script.window([](platform::Window& w) {
        frmDetails& d = editor(w);
        EXPECT_EQ(d.title(), "New Player");
        EXPECT_EQ(d.efPosn->text(), "-10");
        EXPECT_EQ(d.efImp->text(), "40");
        EXPECT_EQ(d.efFFScore->text(), "-400");
        d.PushButton1->push();
    });
    PlayerEditorSetup creation;
    creation.followUp = BoxFollowUp::CornerFromCentre;
    EditPlayerModally(creation);
    const Player& p = main().Player[i];
    EXPECT_EQ(p.Position, -10);
    EXPECT_EQ(p.Importance, 40);
    EXPECT_TRUE(p.LinkMain);
    EXPECT_FALSE(p.Unknown);
    EXPECT_EQ(p.Name, "");
    EXPECT_EQ(p.Width, 20);
    EXPECT_EQ(p.x, 290) << "corner from the centre after a creation";
    EXPECT_TRUE(main().FileChanged);
    EXPECT_FALSE(frmDetails::exists()) << "OK closes the editor";
}

TEST_F(frmDetailsTest, TheScoreIsTheProductOfTheTwoSliders)
{
    LoadDocument(main(), {{"Budget"}, {"Unions", 0, 40}});
    main().Current = 1;
    ModalScript script;
    script.window([](platform::Window& w) {
        frmDetails& d = editor(w);
        d.Slider1->setValue(50);
        EXPECT_EQ(d.efPosn->text(), "50");
        EXPECT_EQ(d.efFFScore->text(), "2000");
        d.Slider1->setValue(-100);
        d.Slider2->setValue(100);
        EXPECT_EQ(d.efImp->text(), "100");
        EXPECT_EQ(d.efFFScore->text(), "-10000");
        d.PushButton1->push();
    });
    EditPlayerModally({});
    EXPECT_EQ(main().Player[1].Position, -100);
    EXPECT_EQ(main().Player[1].Importance, 100);
}

// What the user types into the box beside a slider: the slider moves to it, within its range,
// and OK stores it. The score box only follows the sliders.
struct TypedCase {
    const char* name;
    bool position; ///< else importance
    const char* typed;
    int32_t stored;
    const char* shown;     ///< while the box has the keyboard
    const char* shownThen; ///< once the user has left it: the number stored
};

class TypedNumberTest : public frmDetailsTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedNumberTest, MovesItsSliderAndIsStored)
{
    const TypedCase& c = GetParam();
    LoadDocument(main(), {{"Budget"}, {"Unions", 80, 60}});
    main().Current = 1;
    ModalScript script;
    script.window([&c](platform::Window& w) {
        frmDetails& d = editor(w);
        platform::testing::activate(w); // so that leaving a box is seen
        platform::EditField* box = c.position ? d.efPosn : d.efImp;
        box->setFocus();
        platform::testing::typeKey(w, "Ctrl+A");
        if (!*c.typed)
            platform::testing::typeKey(w, "Backspace");
        for (const char* k = c.typed; *k; ++k)
            platform::testing::typeKey(w, std::string(1, *k));
        EXPECT_EQ((c.position ? d.Slider1 : d.Slider2)->value(), c.stored);
        EXPECT_EQ(box->text(), c.shown);
        const int32_t position = c.position ? c.stored : 80;
        const int32_t importance = c.position ? 60 : c.stored;
        EXPECT_EQ(d.efFFScore->text(), std::to_string(position * importance));

        d.efFFScore->setFocus();
        EXPECT_EQ(box->text(), c.shownThen);
        platform::testing::typeKey(w, "Ctrl+A");
        platform::testing::typeKey(w, "9");
        EXPECT_EQ(d.efFFScore->text(), std::to_string(position * importance))
            << "the score takes no typing";
        d.PushButton1->push();
    });
    EditPlayerModally({});
    EXPECT_EQ(c.position ? main().Player[1].Position : main().Player[1].Importance, c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedNumberTest,
    ::testing::Values(TypedCase{"Position", true, "75", 75, "75", "75"},
                      TypedCase{"NegativePosition", true, "-40", -40, "-40", "-40"},
                      TypedCase{"PositionAboveTheRange", true, "150", 100, "100", "100"},
                      TypedCase{"Importance", false, "7", 7, "7", "7"},
                      TypedCase{"ImportanceBelowTheRange", false, "-5", 0, "0", "0"},
                      TypedCase{"NotAWholeNumber", false, "7.5", 7, "7.5", "7"},
                      TypedCase{"Emptied", true, "", 0, "", "0"}),
    [](const auto& info) { return info.param.name; });

TEST_F(frmDetailsTest, EditingAnExistingPlayerRoundTripsEveryField)
{
    LoadDocument(main(), {{"Budget"}, {"Unions", -40, 70, 120, 80, "Staff side", false, true}});
    main().Player[1].KeyMsg = "Meet them first\rbefore May";
    main().Current = 1;
    ModalScript script;
    script.window([](platform::Window& w) {
        frmDetails& d = editor(w);
        EXPECT_EQ(d.efName->text(), "Unions");
        EXPECT_EQ(d.efSub->text(), "Staff side");
        EXPECT_EQ(d.efKeyMsg->text(), "Meet them first\rbefore May");
        EXPECT_EQ(d.Slider1->value(), -40);
        EXPECT_EQ(d.Slider2->value(), 70);
        EXPECT_FALSE(d.cbMain->value());
        EXPECT_TRUE(d.cbUnknown->value());
        EXPECT_TRUE(d.PushButton2->isVisible()) << "Delete shows for a player";
        EXPECT_FALSE(d.cbAveColour->isVisible());
        d.PushButton1->push();
    });
    EditPlayerModally(
        PlayerEditorSetup::titled("Edit player information", BoxFollowUp::CentreFromCorner));
    const Player& p = main().Player[1];
    EXPECT_EQ(p.Name, "Unions");
    EXPECT_EQ(p.Subtitle, "Staff side");
    EXPECT_EQ(p.KeyMsg, "Meet them first\rbefore May");
    EXPECT_EQ(p.Position, -40);
    EXPECT_EQ(p.Importance, 70);
    EXPECT_FALSE(p.LinkMain);
    EXPECT_TRUE(p.Unknown);
    EXPECT_EQ(p.Height, 45);
    EXPECT_EQ(p.xcentre, 120 + 31);
}

TEST_F(frmDetailsTest, OkKeepsTextsOfAnyLengthWhole)
{
    // Far beyond the 32,767 characters at which a one-line field would cut them.
    const std::string name = std::string(2'000'000, 'n') + "end";
    const std::string subtitle = "é" + std::string(40'000, 's') + "end";
    LoadDocument(main(), {{"Budget"}, {"x", 10, 20, 120, 80, "y"}});
    main().Player[1].Name = name;
    main().Player[1].Subtitle = subtitle;
    main().Current = 1;
    ModalScript script;
    script.window([](platform::Window& w) { editor(w).PushButton1->push(); });
    EditPlayerModally({});
    EXPECT_TRUE(main().Player[1].Name == name) << "name cut to " << main().Player[1].Name.size();
    EXPECT_TRUE(main().Player[1].Subtitle == subtitle)
        << "subtitle cut to " << main().Player[1].Subtitle.size();
    EXPECT_EQ(main().Player[1].Width, 7 * 2'000'003 + 20);
}

TEST_F(frmDetailsTest, APlayerWhoseNameWasClearedKeepsItsOtherFields)
{
    LoadDocument(main(), {{"Budget"}, {"", 60, 90, 120, 80, "Sub"}});
    main().Current = 1;
    ModalScript script;
    script.window([](platform::Window& w) {
        EXPECT_EQ(editor(w).Slider1->value(), 60);
        editor(w).PushButton1->push();
    });
    EditPlayerModally({});
    EXPECT_EQ(main().Player[1].Position, 60);
    EXPECT_EQ(main().Player[1].Importance, 90);
    EXPECT_EQ(main().Player[1].Subtitle, "Sub");
}

TEST_F(frmDetailsTest, TheCallerSetsTheTitleAndTheMainCheckBox)
{
    LoadDocument(main(), {{"Budget"}});
    main().Current = 0;
    main().AveColour = true;
    // The swing-o-meter is on and shown, as the Show menu leaves it.
    platform::testing::activate(main());
    ASSERT_TRUE(platform::testing::chooseMenuItem("ShowSwingometer"));
    platform::testing::processEvents();
    ASSERT_TRUE(wSwing::exists() && wSwing::instance().isVisible());
    ASSERT_TRUE(main().Swinging);
    ModalScript script;
    script.window([](platform::Window& w) {
        frmDetails& d = editor(w);
        EXPECT_EQ(d.title(), "Define central issue");
        EXPECT_FALSE(d.cbMain->isVisible());
        EXPECT_TRUE(d.cbAveColour->isVisible()) << "the central issue's own check box";
        EXPECT_TRUE(d.cbAveColour->value());
        EXPECT_FALSE(d.PushButton2->isVisible()) << "the central issue cannot be deleted";
        d.cbAveColour->setValue(false);
        d.PushButton1->push();
    });
    PlayerEditorSetup startUp =
        PlayerEditorSetup::titled("Define central issue", BoxFollowUp::CentreFromCorner);
    startUp.mainVisible = false;
    EditPlayerModally(startUp);
    platform::testing::processEvents();
    EXPECT_FALSE(main().AveColour);
    EXPECT_FALSE(main().Swinging);
    EXPECT_FALSE(wSwing::exists() && wSwing::instance().isVisible())
        << "unticking Average Colour hides the swing-o-meter the user sees";

    script.window([](platform::Window& w) {
        EXPECT_EQ(editor(w).title(), "New Player");
        EXPECT_TRUE(editor(w).cbMain->isVisible());
        editor(w).cbAveColour->setValue(true);
        editor(w).PushButton1->push();
    });
    EditPlayerModally({});
    EXPECT_TRUE(main().AveColour);
    EXPECT_TRUE(main().Swinging);
}

TEST_F(frmDetailsTest, OpensCentredOverTheWindowItBelongsTo)
{
    LoadDocument(main(), {{"Budget"}, {"Unions"}});
    main().setLeft(150);
    main().setTop(100);
    main().Current = 1;
    ModalScript script;
    script.window([this](platform::Window& w) {
        EXPECT_TRUE(testsupport::IsCentredOver(w, main()));
        editor(w).PushButton1->push();
    });
    EditPlayerModally({});
    EXPECT_TRUE(script.done());
}

TEST_F(frmDetailsTest, TabGoesThroughTheControlsAsTheWindowShowsThem)
{
    LoadDocument(main(), {{"Budget"}, {"Unions"}});
    main().Current = 0; // the central issue: "Average Colour" shows, "Delete" does not
    ModalScript script;
    script.window([](platform::Window& w) {
        platform::testing::activate(w);
        frmDetails& d = editor(w);
        // Row by row from the top, left to right within a row.
        const std::vector<platform::Control*> order{
            d.efName,      d.efSub,       d.Slider1,  d.efPosn,    d.cbUnknown,
            d.cbAveColour, d.Slider2,     d.efImp,    d.efFFScore, d.cbMain,
            d.PushButton3, d.PushButton1, d.efKeyMsg, d.efName};
        EXPECT_TRUE(order[0]->hasFocus()) << "the name has the focus first";
        for (size_t i = 1; i < order.size(); ++i) {
            platform::testing::typeKey(w, "Tab");
            EXPECT_TRUE(order[i]->hasFocus())
                << order[i]->name() << " after " << order[i - 1]->name();
        }
        d.PushButton1->push();
    });
    EditPlayerModally({});
    EXPECT_TRUE(script.done());
}

// Escape and the close box back out of the editor: nothing typed is written, and the caller
// goes on as after any close.
class EditorBackOutTest : public frmDetailsTest, public ::testing::WithParamInterface<bool> {};

TEST_P(EditorBackOutTest, WritesNothing)
{
    const bool escape = GetParam();
    LoadDocument(main(), {{"Budget"}, {"Unions", 30, 60}});
    main().Current = 1;
    main().FileChanged = false;
    const Player before = main().Player[1];
    ModalScript script;
    script.window([escape](platform::Window& w) {
        platform::testing::activate(w);
        frmDetails& d = editor(w);
        d.efName->setText("Employers");
        d.Slider1->setValue(-80);
        d.cbUnknown->setValue(true);
        if (escape)
            platform::testing::typeKey(w, "Escape");
        else
            platform::testing::clickCloseBox(w);
        EXPECT_TRUE(w.isClosed());
    });
    EditPlayerModally({});
    EXPECT_TRUE(script.done());
    const Player& p = main().Player[1];
    EXPECT_EQ(p.Name, "Unions");
    EXPECT_EQ(p.Position, 30);
    EXPECT_EQ(p.Importance, 60);
    EXPECT_EQ(p.Unknown, before.Unknown);
    EXPECT_EQ(main().NumPlayer, 1);
    EXPECT_FALSE(frmDetails::exists());
}

INSTANTIATE_TEST_SUITE_P(Ways, EditorBackOutTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Escape" : "CloseBox"; });

// Links(i, j) of a fixture of four players and the central issue, all distinct.
int32_t strength(int32_t i, int32_t j)
{
    return i == j ? 0 : 10 * std::min(i, j) + std::max(i, j);
}

class DeleteTest : public frmDetailsTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(DeleteTest, KeepsEveryRemainingLinkWithItsStrength)
{
    frmMain& m = main();
    LoadDocument(m, {{"Issue"}, {"A"}, {"B"}, {"C"}, {"D"}});
    for (int32_t i = 0; i <= 4; ++i)
        for (int32_t j = 0; j <= 4; ++j)
            m.Links[i][j] = strength(i, j);
    const int32_t c = GetParam();
    m.Current = c;
    ModalScript script;
    script.window([](platform::Window& w) { editor(w).PushButton2->push(); });
    EditPlayerModally({});

    ASSERT_EQ(m.NumPlayer, 3);
    const std::vector<std::string> names{"Issue", "A", "B", "C", "D"};
    std::vector<int32_t> old; // old index of each remaining player
    for (int32_t i = 0; i <= 4; ++i)
        if (i != c)
            old.push_back(i);
    for (int32_t i = 0; i <= 3; ++i) {
        EXPECT_EQ(m.Player[i].Name, names[old[i]]);
        for (int32_t j = 0; j <= 3; ++j) {
            EXPECT_EQ(m.Links[i][j], strength(old[i], old[j])) << i << "," << j;
            EXPECT_EQ(m.Links[i][j], m.Links[j][i]);
        }
    }
    for (int32_t k = 0; k <= kPlayerLimit; ++k)
        EXPECT_TRUE(m.Links[4][k] == 0 && m.Links[k][4] == 0)
            << "the index out of use has no links";
}

INSTANTIATE_TEST_SUITE_P(EachPlayer, DeleteTest, ::testing::Values(1, 2, 3, 4));

TEST_F(frmDetailsTest, LinksWalksTheLinksOfThePlayerBeingEdited)
{
    frmMain& m = main();
    LoadDocument(m, {{"Issue"}, {"A"}, {"B"}, {"C"}});
    m.Links[2][1] = m.Links[1][2] = 30;
    m.Links[2][3] = m.Links[3][2] = -5;
    m.closest = 1; // left by an earlier press elsewhere
    m.Current = 2;
    std::vector<int32_t> visited;
    ModalScript script;
    script.window([&](platform::Window& w) {
        script.window([&](platform::Window& links) {
            visited.push_back(m.Linker);
            EXPECT_EQ(m.closest, 2);
            dynamic_cast<frmLinks&>(links).PushButton1->push();
        });
        script.window([&](platform::Window& links) {
            visited.push_back(m.Linker);
            links.close(); // the close box
        });
        editor(w).PushButton3->push();
        editor(w).PushButton1->push();
    });
    EditPlayerModally({});
    EXPECT_EQ(visited, (std::vector<int32_t>{1, 3}));
    EXPECT_EQ(m.closest, 1) << "the pointer state is given back";
    EXPECT_EQ(m.Links[2][3], -5);
}

} // namespace
