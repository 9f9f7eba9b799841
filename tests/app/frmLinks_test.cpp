#include "app/frmDetails.h"
#include "app/frmLinks.h"
#include "app/frmMain.h"

#include "tests/support/app_fixture.h"
#include "tests/support/modal_script.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

namespace {

using testsupport::AppTest;
using testsupport::LoadDocument;
using testsupport::ModalScript;

frmLinks& links(platform::Window& w)
{
    return dynamic_cast<frmLinks&>(w);
}

class frmLinksTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        LoadDocument(main(), {{"Issue"}, {"Unions"}, {"Press"}});
        main().closest = 1;
        main().Linker = 2;
    }

    void run(std::function<void(frmLinks&)> work)
    {
        ModalScript script;
        script.window([work](platform::Window& w) { work(links(w)); });
        frmLinks::instance().showModal();
    }
};

TEST_F(frmLinksTest, APairWithoutALinkOpensAt50)
{
    run([](frmLinks& l) {
        EXPECT_EQ(l.StaticText1->text(), "Link: Unions");
        EXPECT_EQ(l.StaticText2->text(), "To: Press");
        EXPECT_EQ(l.Slider1->value(), 50);
        EXPECT_EQ(l.EditField1->text(), "50");
        l.PushButton1->push();
    });
    EXPECT_EQ(main().Links[1][2], 50);
    EXPECT_EQ(main().Links[2][1], 50);
}

TEST_F(frmLinksTest, APairWithALinkOpensAtItsStrengthAndDeleteRemovesIt)
{
    main().Links[1][2] = main().Links[2][1] = 30;
    run([](frmLinks& l) {
        EXPECT_EQ(l.Slider1->value(), 30);
        EXPECT_EQ(l.EditField1->text(), "30");
        l.PushButton2->push();
    });
    EXPECT_EQ(main().Links[1][2], 0);
    EXPECT_EQ(main().Links[2][1], 0);
}

class TypedStrengthTest : public frmLinksTest,
                          public ::testing::WithParamInterface<std::pair<const char*, int32_t>> {};

TEST_P(TypedStrengthTest, OkStoresTheTypedValueInBothCells)
{
    const auto [typed, stored] = GetParam();
    run([typed](frmLinks& l) {
        l.EditField1->setText(typed);
        l.PushButton1->push();
    });
    EXPECT_EQ(main().Links[1][2], stored);
    EXPECT_EQ(main().Links[2][1], stored);
}

INSTANTIATE_TEST_SUITE_P(Texts, TypedStrengthTest,
                         ::testing::Values(std::pair{"75", 75}, std::pair{"250", 250},
                                           std::pair{"-5", -5}, std::pair{"abc", 0},
                                           std::pair{"12.9", 12}));

TEST_F(frmLinksTest, MovingTheSliderAfterTypingReplacesTheText)
{
    run([](frmLinks& l) {
        l.EditField1->setText("75");
        l.Slider1->setValue(20);
        EXPECT_EQ(l.EditField1->text(), "20");
        l.PushButton1->push();
    });
    EXPECT_EQ(main().Links[1][2], 20);
}

// The close box and Escape back out alike.
class BackOutTest : public frmLinksTest, public ::testing::WithParamInterface<bool> {};

TEST_P(BackOutTest, ChangesNothing)
{
    const bool escape = GetParam();
    main().Links[1][2] = main().Links[2][1] = 30;
    run([escape](frmLinks& l) {
        platform::testing::activate(l);
        l.EditField1->setText("90");
        if (escape)
            platform::testing::typeKey(l, "Escape");
        else
            platform::testing::clickCloseBox(l);
        EXPECT_TRUE(l.isClosed());
    });
    EXPECT_EQ(main().Links[1][2], 30);
    EXPECT_EQ(main().Links[2][1], 30);
}

INSTANTIATE_TEST_SUITE_P(Ways, BackOutTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Escape" : "CloseBox"; });

TEST_F(frmLinksTest, TheStrengthHasTheFocusAndWhatIsTypedReplacesIt)
{
    main().Links[1][2] = main().Links[2][1] = 30;
    run([](frmLinks& l) {
        platform::testing::activate(l);
        EXPECT_TRUE(l.EditField1->hasFocus());
        platform::testing::typeKey(l, "7");
        platform::testing::typeKey(l, "5");
        EXPECT_EQ(l.EditField1->text(), "75");
        platform::testing::typeKey(l, "Return");
    });
    EXPECT_EQ(main().Links[1][2], 75);
    EXPECT_EQ(main().Links[2][1], 75);
}

TEST_F(frmLinksTest, OpensCentredOverThePlayerEditorThatShowsIt)
{
    main().Links[1][2] = main().Links[2][1] = 30;
    main().Current = 1;
    ModalScript script;
    platform::Window* playerEditor = nullptr;
    script.window([&playerEditor](platform::Window& w) {
        playerEditor = &w;
        dynamic_cast<frmDetails&>(w).PushButton3->push(); // "Links"
        dynamic_cast<frmDetails&>(w).PushButton1->push();
    });
    script.window([&playerEditor](platform::Window& w) {
        ASSERT_TRUE(playerEditor);
        EXPECT_TRUE(testsupport::IsCentredOver(w, *playerEditor));
        w.close();
    });
    EditPlayerModally({});
    EXPECT_TRUE(script.done());
}

TEST_F(frmLinksTest, ANegativeStrengthOpensAt50Again)
{
    main().Links[1][2] = main().Links[2][1] = -5;
    run([](frmLinks& l) {
        EXPECT_EQ(l.EditField1->text(), "50");
        l.close();
    });
}

} // namespace
