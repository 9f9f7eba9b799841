// The floating "View" toolbar on a real desktop: the program as it is shipped, on an X server
// with a window manager and a panel along the bottom of the screen, its windows moved by their
// title bars as a person moves them. Wherever the windows go, the toolbar hides none of their
// controls or title bars and stays inside the work area.

#include "app/DataFile.h"
#include "app/Document.h"
#include "app/PrefsFile.h"

#include "platform/bench/x_driver.h"
#include "platform/bench/x_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using platform::bench::ScreenPoint;
using platform::bench::ScreenRect;
using platform::bench::XDriver;

constexpr int32_t kScreenWidth = 1600;
constexpr int32_t kScreenHeight = 1000;
constexpr int32_t kPanel = 40;
constexpr double kLimit = 20;
constexpr double kQuiet = 0.4;
constexpr uint32_t kReturnKey = 0xff0d;
constexpr const char* kFileName = "placed.dat";

std::string str(const ScreenRect& r)
{
    return std::to_string(r.width) + "x" + std::to_string(r.height) + "+" + std::to_string(r.x) +
           "+" + std::to_string(r.y);
}

bool overlap(const ScreenRect& a, const ScreenRect& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

bool inside(const ScreenRect& r, const ScreenRect& area)
{
    return r.x >= area.x && r.y >= area.y && r.x + r.width <= area.x + area.width &&
           r.y + r.height <= area.y + area.height;
}

Document smallDocument()
{
    Document d;
    d.NumPlayer = 3;
    d.AveColour = true;
    const char* names[] = {"Hospital closure", "Nurses", "Local paper", "Council"};
    for (int32_t i = 0; i <= d.NumPlayer; ++i) {
        Player& p = d.Player[i];
        p.Name = names[i];
        p.Position = i * 20 - 30;
        p.Importance = 50;
        p.LinkMain = true;
        SetBoxSize(p);
        p.x = 100 + 150 * i;
        p.y = 100 + 90 * i;
        CentreFromCorner(p);
    }
    return d;
}

bool writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    out.close();
    return !out.fail();
}

class FloatingPlaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.running()) << "no X server with a window manager: " << server.error();
        home = std::filesystem::temp_directory_path() /
               ("kestrix-desktop-" + std::to_string(::getpid()));
        std::filesystem::remove_all(home);
        for (const char* folder : {".config", "runtime"}) {
            std::filesystem::create_directories(home / folder);
            std::filesystem::permissions(home / folder, std::filesystem::perms::owner_all);
        }
        const Document d = smallDocument();
        ASSERT_TRUE(writeFile(home / kFileName,
                              WriteDataFile(MakeDataFileContents(false, d.NumPlayer, d.Player,
                                                                 d.Links, d.AveColour))));
        ASSERT_TRUE(writeFile(home / ".config" / "KestrixPrefs",
                              WritePrefsFile((home / kFileName).string())));
        x.emplace(server.display());
        ASSERT_TRUE(x->connected());
        ASSERT_TRUE(x->reserveBottomPanel(kPanel, kLimit)) << "the panel took no room";
        const std::string h = home.string();
        program.emplace(std::vector<std::string>{KESTRIX_PROGRAM}, server.display(),
                        std::vector<std::string>{"HOME=" + h, "XDG_CONFIG_HOME=" + h + "/.config",
                                                 "XDG_RUNTIME_DIR=" + h + "/runtime",
                                                 "QT_QPA_PLATFORM=xcb"});
        ASSERT_TRUE(program->started());
        // "Open existing", then the file the Open dialog offers.
        const uint32_t question = x->awaitWindow(program->pid(), "Starting up ...", kLimit);
        ASSERT_NE(question, 0u) << "no start-up question";
        const uint32_t open =
            x->pressUntil(program->pid(), question, "Starting up ...", "Open", kReturnKey, kLimit);
        ASSERT_NE(open, 0u) << "no Open dialog";
        main = x->pressUntil(program->pid(), open, "Open", std::string("Varnholt - ") + kFileName,
                             kReturnKey, kLimit);
        ASSERT_NE(main, 0u) << "the document did not open";
        toolbar = x->awaitWindow(program->pid(), "View", kLimit);
        ASSERT_NE(toolbar, 0u) << "no toolbar";
        ASSERT_TRUE(x->awaitQuiet(kQuiet, kLimit));
    }

    void TearDown() override
    {
        program.reset();
        x.reset();
        std::filesystem::remove_all(home);
    }

    // The height of a window's menu bar: its inside less the size its layout gives it.
    int32_t menuBar(uint32_t window, int32_t layoutHeight)
    {
        const std::optional<ScreenRect> g = x->geometry(window);
        return g ? g->height - layoutHeight : 0;
    }

    // A control of a window, from where its layout puts it in the window's inside.
    ScreenRect control(uint32_t window, int32_t layoutHeight, ScreenRect place)
    {
        const std::optional<ScreenRect> g = x->geometry(window);
        const int32_t bar = menuBar(window, layoutHeight);
        return {g->x + place.x, g->y + bar + place.y, place.width, place.height};
    }

    // The title bar of a window: its frame above its inside.
    std::optional<ScreenRect> titleBar(uint32_t window)
    {
        const std::optional<ScreenRect> f = x->frame(window);
        const std::optional<ScreenRect> g = x->geometry(window);
        if (!f || !g)
            return std::nullopt;
        return ScreenRect{f->x, f->y, f->width, g->y - f->y};
    }

    // What the toolbar must not hide now: the title bars of the program's other windows and
    // the controls given; and it stays inside the work area.
    void expectToolbarClear(const std::vector<ScreenRect>& controls, const char* when)
    {
        ASSERT_TRUE(x->awaitQuiet(kQuiet, kLimit));
        const std::optional<ScreenRect> t = x->frame(toolbar);
        ASSERT_TRUE(t) << when;
        const std::optional<ScreenRect> area = x->workArea();
        ASSERT_TRUE(area);
        EXPECT_TRUE(inside(*t, *area))
            << when << ": the toolbar at " << str(*t) << " leaves the work area " << str(*area);
        for (const uint32_t w : x->windowsOf(program->pid())) {
            if (w == toolbar)
                continue;
            if (const std::optional<ScreenRect> bar = titleBar(w)) {
                EXPECT_FALSE(overlap(*t, *bar))
                    << when << ": the toolbar at " << str(*t) << " hides the title bar of \""
                    << x->title(w) << "\" at " << str(*bar);
            }
        }
        for (const ScreenRect& c : controls)
            EXPECT_FALSE(overlap(*t, c))
                << when << ": the toolbar at " << str(*t) << " hides a control at " << str(c);
    }

    // Drags the window so that the point `at` of its frame comes to lie at `to`.
    void dragSoThat(uint32_t window, ScreenPoint at, ScreenPoint to)
    {
        const std::optional<ScreenRect> f = x->frame(window);
        ASSERT_TRUE(f);
        ASSERT_TRUE(
            x->dragTitleBar(window, {f->x + to.x - at.x, f->y + to.y - at.y}, kQuiet, kLimit));
    }

    // The point in the middle of a rectangle.
    static ScreenPoint middle(const ScreenRect& r)
    {
        return {r.x + r.width / 2, r.y + r.height / 2};
    }

    platform::bench::VirtualXServer server{kScreenWidth, kScreenHeight, true};
    std::filesystem::path home;
    std::optional<XDriver> x;
    std::optional<platform::bench::StartedProgram> program;
    uint32_t main = 0;
    uint32_t toolbar = 0;
};

// The main window's layout: 772 by 624, the view buttons along its bottom right.
constexpr int32_t kMainHeight = 624;
const ScreenRect kViewButtons[] = {
    {422, 597, 87, 20}, {521, 597, 69, 20}, {603, 597, 69, 20}, {683, 597, 69, 20}};
// The sliders window: 491 by 634, "Close" at its bottom right, a row for each of the three
// players besides the central issue at the top: name, slider and number.
constexpr int32_t kSlidersHeight = 634;
constexpr ScreenRect kSlidersClose{409, 604, 69, 20};
const ScreenRect kSlidersRows{10, 13, 460, 3 * 23};

TEST_F(FloatingPlaceTest, TheToolbarStepsAsideFromEveryWindowMovedUnderIt)
{
    std::vector<ScreenRect> mainControls;
    for (const ScreenRect& b : kViewButtons)
        mainControls.push_back(control(main, kMainHeight, b));
    expectToolbarClear(mainControls, "at start-up");

    // The sliders window, moved so that its "Close" lies under the toolbar.
    x->click(middle(control(main, kMainHeight, kViewButtons[1])));
    const uint32_t sliders = x->awaitWindow(program->pid(), "Sliders", kLimit);
    ASSERT_NE(sliders, 0u) << "its button opened no sliders window";
    ASSERT_TRUE(x->awaitQuiet(kQuiet, kLimit));
    const ScreenRect close = control(sliders, kSlidersHeight, kSlidersClose);
    dragSoThat(sliders, middle(close), middle(*x->frame(toolbar)));
    const ScreenRect closeNow = control(sliders, kSlidersHeight, kSlidersClose);
    ASSERT_TRUE(overlap(closeNow, ScreenRect{0, 0, kScreenWidth, kScreenHeight - kPanel}))
        << "the sliders' Close is on the screen";
    expectToolbarClear({closeNow, control(sliders, kSlidersHeight, kSlidersRows)},
                       "the sliders window moved under it");

    // The main window, moved to the right so that its title bar's buttons come under it.
    ASSERT_TRUE(x->dragTitleBar(main, {967, 414}, kQuiet, kLimit));
    mainControls.clear();
    for (const ScreenRect& b : kViewButtons)
        mainControls.push_back(control(main, kMainHeight, b));
    mainControls.push_back(control(sliders, kSlidersHeight, kSlidersClose));
    mainControls.push_back(control(sliders, kSlidersHeight, kSlidersRows));
    expectToolbarClear(mainControls, "the main window moved to (967, 414)");

    // The toolbar put somewhere by the user stays there while that hides nothing...
    ASSERT_TRUE(x->dragTitleBar(toolbar, {60, 60}, kQuiet, kLimit));
    const std::optional<ScreenRect> put = x->frame(toolbar);
    ASSERT_TRUE(put);
    ASSERT_TRUE(x->awaitQuiet(kQuiet, kLimit));
    EXPECT_EQ(x->frame(toolbar)->x, put->x) << "the toolbar stays where it was put";
    EXPECT_EQ(x->frame(toolbar)->y, put->y);
    // ... until a window comes under it: the sliders window, its rows under the toolbar.
    ASSERT_TRUE(x->dragTitleBar(toolbar, {800, 300}, kQuiet, kLimit));
    const std::optional<ScreenRect> putAgain = x->frame(toolbar);
    dragSoThat(sliders, middle(control(sliders, kSlidersHeight, kSlidersRows)), middle(*putAgain));
    ASSERT_TRUE(overlap(control(sliders, kSlidersHeight, kSlidersRows), *putAgain))
        << "the sliders' rows came where the toolbar was put";
    expectToolbarClear({control(sliders, kSlidersHeight, kSlidersRows),
                        control(sliders, kSlidersHeight, kSlidersClose)},
                       "the sliders window moved under the toolbar the user put there");
}

// A window across the whole screen below its middle: the nearest place clear of its canvas lies
// above it, and there the toolbar must keep off its title bar, and so off the buttons there.
TEST_F(FloatingPlaceTest, TheToolbarKeepsOffTheTitleBarOfAWindowBelowIt)
{
    const std::optional<ScreenRect> f = x->frame(main);
    ASSERT_TRUE(f);
    ASSERT_TRUE(x->resize(main, kScreenWidth - (f->width - x->geometry(main)->width),
                          x->geometry(main)->height, kLimit));
    ASSERT_TRUE(x->dragTitleBar(main, {0, 500}, kQuiet, kLimit));
    ASSERT_LE(x->frame(main)->x, 0) << "the window lies across the screen";
    expectToolbarClear({}, "a window across the screen below its middle");
    const std::optional<ScreenRect> t = x->frame(toolbar);
    EXPECT_LE(t->y + t->height, x->frame(main)->y) << "above the window";
}

} // namespace
