#include "platform/application.h"
#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/graphics.h"
#include "platform/testing.h"
#include "platform/window.h"

#include "tests/support/modal_script.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace platform;
using testsupport::Kind;
using testsupport::ModalScript;
namespace pt = platform::testing;

namespace {

int gBuilt = 0;

class TestWindow : public WindowClass<TestWindow> {
public:
    Canvas* canvas = nullptr;
    PushButton* corner = nullptr;
    PushButton* cancel = nullptr;
    StaticText* bottomLabel = nullptr;
    Slider* slider = nullptr;
    EditField* field = nullptr;
    std::vector<std::string> log;
    bool pressWantsDrag = true;
    std::function<void()> onPress;
    int resizes = 0;
    int closes = 0;
    int sliderChanges = 0;
    int fieldChanges = 0;

    void Event_Open() override { log.push_back("open"); }
    void Event_Close() override { ++closes; }
    void Event_Resized() override { ++resizes; }

protected:
    void Layout() override
    {
        setKind(WindowKind::Document);
        setSize(300, 200);
        setTitle("Test");
        setTitleBarButtons(sCloseBox, true, true);
    }

    void CreateControls() override
    {
        canvas = addControl<Canvas>("canvas", {10, 10, 200, 100}, LockAll);
        canvas->onMouseDown = [this](const MouseEvent& e) {
            log.push_back("down " + std::to_string(e.x) + "," + std::to_string(e.y) +
                          (e.contextual ? " contextual" : ""));
            if (onPress)
                onPress();
            return pressWantsDrag;
        };
        canvas->onMouseDrag = [this](const MouseEvent& e) {
            log.push_back("drag " + std::to_string(e.x) + "," + std::to_string(e.y));
        };
        canvas->onMouseUp = [this](const MouseEvent& e) {
            log.push_back("up " + std::to_string(e.x) + "," + std::to_string(e.y));
        };
        corner = addControl<PushButton>("corner", {220, 170, 70, 20}, LockRight | LockBottom);
        corner->onAction = [this] { log.push_back("corner"); };
        cancel = addControl<PushButton>("cancel", {140, 170, 70, 20}, LockRight | LockBottom);
        cancel->onAction = [this] { log.push_back("cancel"); };
        bottomLabel = addControl<StaticText>("bottomLabel", {15, 150, 40, 20}, LockBottom);
        slider = addControl<Slider>("slider", {10, 120, 100, 20});
        slider->setRange(-100, 100);
        slider->onValueChanged = [this] { ++sliderChanges; };
        field = addControl<EditField>("field", {120, 120, 50, 20});
        field->onTextChange = [this] { ++fieldChanges; };
        setDefaultButton(corner);
        setCancelButton(cancel);
    }

public:
    static inline bool sCloseBox = true;

private:
    friend class WindowClass<TestWindow>;
    TestWindow() { ++gBuilt; }
};

class FloatingWindow : public WindowClass<FloatingWindow> {
protected:
    void Layout() override
    {
        setKind(WindowKind::Floating);
        setSize(100, 50);
    }

private:
    friend class WindowClass<FloatingWindow>;
    FloatingWindow() = default;
};

// Two canvases that count their paints; the first asks for the second's repaint from its own
// paint, as a plot asks for its legend.
class TwoCanvasWindow : public WindowClass<TwoCanvasWindow> {
public:
    Canvas* plot = nullptr;
    Canvas* legend = nullptr;
    int plotPaints = 0;
    int legendPaints = 0;
    bool plotRefreshesLegend = false;

protected:
    void Layout() override { setSize(300, 200); }
    void CreateControls() override
    {
        plot = addControl<Canvas>("plot", {10, 10, 200, 100}, LockAll);
        plot->onPaint = [this](Graphics&) {
            ++plotPaints;
            if (plotRefreshesLegend)
                legend->refresh();
        };
        legend = addControl<Canvas>("legend", {10, 150, 100, 15}, LockLeft | LockBottom);
        legend->onPaint = [this](Graphics&) { ++legendPaints; };
    }

private:
    friend class WindowClass<TwoCanvasWindow>;
    TwoCanvasWindow() = default;
};

class OtherWindow : public WindowClass<OtherWindow> {
protected:
    void Layout() override { setSize(100, 50); }

private:
    friend class WindowClass<OtherWindow>;
    OtherWindow() = default;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gBuilt = 0;
        TestWindow::sCloseBox = true;
    }
    void TearDown() override { pt::destroyAllWindows(); }

    TestWindow& shown()
    {
        TestWindow& w = TestWindow::instance();
        pt::activate(w);
        return w;
    }
};

TEST_F(WindowTest, TheFirstReferenceBuildsTheWindowAndRunsItsOpenEvent)
{
    EXPECT_FALSE(TestWindow::exists());
    TestWindow& w = TestWindow::instance();
    EXPECT_EQ(w.log, std::vector<std::string>{"open"});
    EXPECT_NE(w.canvas, nullptr) << "controls exist when the open event runs";
    EXPECT_TRUE(TestWindow::exists());
    EXPECT_EQ(&TestWindow::instance(), &w);
    EXPECT_EQ(gBuilt, 1);
}

TEST_F(WindowTest, AfterCloseTheNextReferenceBuildsAFreshWindow)
{
    TestWindow& w = shown();
    w.close();
    EXPECT_EQ(w.closes, 1);
    EXPECT_FALSE(TestWindow::exists());
    pt::processEvents();
    TestWindow::instance();
    EXPECT_EQ(gBuilt, 2);
}

TEST_F(WindowTest, ContentSizeAndEdgeLocks)
{
    TestWindow& w = shown();
    EXPECT_EQ(w.width(), 300);
    EXPECT_EQ(w.height(), 200);
    w.setSize(400, 260);
    pt::processEvents();
    EXPECT_EQ(w.width(), 400);
    EXPECT_EQ(w.height(), 260);
    // Locked to all edges: grows with the window.
    EXPECT_EQ(w.canvas->left(), 10);
    EXPECT_EQ(w.canvas->width(), 300);
    EXPECT_EQ(w.canvas->height(), 160);
    // Locked right and bottom: keeps its distances to them.
    EXPECT_EQ(w.corner->left(), 320);
    EXPECT_EQ(w.corner->top(), 230);
    EXPECT_EQ(w.corner->width(), 70);
    // Locked to the bottom only: keeps its left position.
    EXPECT_EQ(w.bottomLabel->left(), 15);
    EXPECT_EQ(w.bottomLabel->top(), 210);
}

TEST_F(WindowTest, ResizedRunsOnlyAfterARealChangeOfSize)
{
    TestWindow& w = TestWindow::instance();
    w.setSize(300, 200);
    EXPECT_EQ(w.resizes, 0) << "nothing before the first show";
    pt::activate(w);
    EXPECT_EQ(w.resizes, 0);
    w.setSize(300, 200);
    pt::processEvents();
    EXPECT_EQ(w.resizes, 0) << "the same size is no change";
    w.setSize(350, 220);
    pt::processEvents();
    EXPECT_EQ(w.resizes, 1);
}

TEST_F(WindowTest, APressThatWantsDragsGetsOneAtThePressPointAtOnce)
{
    TestWindow& w = shown();
    pt::mousePress(*w.canvas, 10, 12);
    EXPECT_EQ(w.log, (std::vector<std::string>{"open", "down 10,12", "drag 10,12"}));
    pt::mouseMove(*w.canvas, 15, 12);
    pt::mouseRelease(*w.canvas, 15, 12);
    EXPECT_EQ(w.log, (std::vector<std::string>{"open", "down 10,12", "drag 10,12", "drag 15,12",
                                               "up 15,12"}));
}

TEST_F(WindowTest, APressThatDeclinesGetsNoDragOrRelease)
{
    TestWindow& w = shown();
    w.pressWantsDrag = false;
    pt::mousePress(*w.canvas, 5, 5, pt::NoModifier, pt::MouseButton::Right);
    pt::mouseMove(*w.canvas, 8, 8);
    pt::mouseRelease(*w.canvas, 8, 8, pt::NoModifier, pt::MouseButton::Right);
    EXPECT_EQ(w.log, (std::vector<std::string>{"open", "down 5,5 contextual"}));
}

TEST_F(WindowTest, APressThatRanAModalEndsTheGesture)
{
    TestWindow& w = shown();
    w.onPress = [] { MsgBox("hello"); };
    ModalScript script;
    script.message("hello");
    pt::mousePress(*w.canvas, 5, 5);
    pt::mouseRelease(*w.canvas, 5, 5);
    EXPECT_EQ(w.log, (std::vector<std::string>{"open", "down 5,5"}));
}

TEST_F(WindowTest, ReturnPressesTheDefaultButtonOnlyWhileItIsEnabled)
{
    TestWindow& w = shown();
    w.canvas->setAcceptsFocus(true);
    w.canvas->setFocus();
    pt::typeKey(w, "Return");
    EXPECT_EQ(w.log.back(), "corner");
    w.corner->setEnabled(false);
    w.log.clear();
    pt::typeKey(w, "Return");
    EXPECT_TRUE(w.log.empty());
    pt::typeKey(w, "Escape");
    EXPECT_EQ(w.log, std::vector<std::string>{"cancel"});
}

TEST_F(WindowTest, AWindowWithoutCloseBoxIgnoresTheWindowManagersClose)
{
    TestWindow::sCloseBox = false;
    TestWindow& w = shown();
    pt::clickCloseBox(w);
    EXPECT_TRUE(TestWindow::exists());
    EXPECT_EQ(w.closes, 0);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(WindowTest, TheCloseBoxClosesAWindowThatHasOne)
{
    TestWindow& w = shown();
    pt::clickCloseBox(w);
    EXPECT_FALSE(TestWindow::exists());
}

// Every way of bringing a window to the front restores it when the user minimised it.
class BringToFrontTest : public WindowTest,
                         public ::testing::WithParamInterface<std::pair<const char*, bool>> {};

TEST_P(BringToFrontTest, RestoresAMinimisedWindow)
{
    TestWindow& w = shown();
    pt::minimise(w);
    ASSERT_TRUE(pt::isMinimised(w));
    if (GetParam().second) {
        ModalScript script;
        script.window([](Window& modal) {
            EXPECT_FALSE(pt::isMinimised(modal)) << "up before anyone answers it";
            modal.hide();
        });
        w.showModal();
        EXPECT_TRUE(script.done());
    } else {
        w.show();
        pt::processEvents();
        EXPECT_FALSE(pt::isMinimised(w));
        EXPECT_TRUE(w.isVisible());
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, BringToFrontTest,
                         ::testing::Values(std::pair{"Show", false}, std::pair{"ShowModal", true}),
                         [](const auto& info) { return std::string(info.param.first); });

TEST_F(WindowTest, ShowModalGoesToTheTestSeamAndEndsWhenTheWindowCloses)
{
    TestWindow& w = TestWindow::instance();
    ModalScript script;
    script.window([](Window& modal) {
        EXPECT_TRUE(modal.isModal());
        dynamic_cast<TestWindow&>(modal).corner->push();
        modal.close();
    });
    w.showModal();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(w.log.back(), "corner");
    EXPECT_EQ(w.closes, 1);
    EXPECT_FALSE(TestWindow::exists());
}

TEST_F(WindowTest, ShowModalEndsWhenTheSeamLeavesTheWindowOpen)
{
    TestWindow& w = TestWindow::instance();
    ModalScript script;
    script.window([](Window&) {});
    w.showModal();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.isModal());
    EXPECT_TRUE(TestWindow::exists());
}

TEST_F(WindowTest, ValuesSetFromCodeFireTheirChangeEventOnlyWhenTheyChange)
{
    TestWindow& w = TestWindow::instance();
    w.slider->setValue(40);
    w.slider->setValue(40);
    EXPECT_EQ(w.sliderChanges, 1);
    w.slider->setValue(500);
    EXPECT_EQ(w.slider->value(), 100) << "a slider keeps to its range";
    w.field->setText("-40");
    w.field->setText("-40");
    EXPECT_EQ(w.fieldChanges, 1);
    EXPECT_EQ(w.field->text(), "-40");
}

TEST_F(WindowTest, MultiLineFieldsUseCarriageReturns)
{
    TestWindow& w = TestWindow::instance();
    w.field->setMultiline(true);
    w.field->setText("one\r\ntwo\nthree\rfour");
    EXPECT_EQ(w.field->text(), "one\rtwo\rthree\rfour");
}

TEST_F(WindowTest, FloatingWindowsAndModalWindowsNeverCountAsFrontmost)
{
    TestWindow& main = shown();
    EXPECT_EQ(frontmostWindow(), &main);
    FloatingWindow& floating = FloatingWindow::instance();
    pt::activate(floating);
    EXPECT_EQ(frontmostWindow(), &main);
    OtherWindow& other = OtherWindow::instance();
    pt::activate(other);
    EXPECT_EQ(frontmostWindow(), &other);
    other.hide();
    EXPECT_EQ(frontmostWindow(), &main);
    ModalScript script;
    script.window([&](Window&) { EXPECT_EQ(frontmostWindow(), &main); });
    other.showModal();
}

class RefreshTest : public WindowTest, public ::testing::WithParamInterface<bool> {};

TEST_P(RefreshTest, OneRefreshPaintsEachCanvasOfTheWindowOnce)
{
    TwoCanvasWindow& w = TwoCanvasWindow::instance();
    w.plotRefreshesLegend = GetParam();
    pt::activate(w);
    w.plotPaints = w.legendPaints = 0;
    w.refresh();
    pt::processEvents();
    EXPECT_EQ(w.plotPaints, 1);
    EXPECT_EQ(w.legendPaints, 1);
    w.plot->refresh();
    w.plot->refresh();
    pt::processEvents();
    EXPECT_EQ(w.plotPaints, 2) << "requests before the paint make one paint";
}

INSTANTIATE_TEST_SUITE_P(PlotAsksForTheLegend, RefreshTest, ::testing::Bool());

TEST_F(WindowTest, AnExceptionFromAHandlerIsReportedAndEndsTheProgram)
{
    TestWindow& w = shown();
    w.corner->onAction = [] { throw std::runtime_error("disk on fire"); };
    ModalScript script;
    script.expect(Kind::Message, [](const pt::ModalRequest& r) {
        EXPECT_NE(r.message.find("disk on fire"), std::string::npos);
        const std::string program = Application::instance()->name();
        EXPECT_NE(r.message.find(program + " has to close"), std::string::npos)
            << "the report names the program as its application object was told";
        return pt::ModalAnswer::ok();
    });
    w.corner->push();
    EXPECT_TRUE(script.done());
    // Once ending, no further dialog is shown.
    MsgBox("not shown");
}

} // namespace
