// The drags of the real program, timed from outside it as the user sees them: from the request
// of the pointer's release (XTEST) to the X server's first drawing in the view's window after
// it (DAMAGE). Each case starts the program itself with a home of its own, opens the
// benchmark's document of 50 players as a person does (the start-up question's "Open existing",
// then the Open dialog, which offers the data file the preferences file remembers), opens the
// view with its button beneath the spider plot and sizes its window; then it drags one player
// back and forth.

#include "bench/bench_benchmarks.h"
#include "bench/bench_document.h"
#include "bench/bench_stats.h"

#include "app/DataFile.h"
#include "app/PrefsFile.h"
#include "app/frmMain.h"
#include "forcefield/ffield.h"
#include "graph/graph.h"

#include "platform/bench/x_driver.h"
#include "platform/bench/x_server.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

using platform::bench::ScreenPoint;
using platform::bench::ScreenRect;
using platform::bench::XDriver;

constexpr int32_t kPlayers = 50;
constexpr const char* kFileName = "big50.dat";
constexpr uint32_t kReturnKey = 0xff0d;
// Each wait on the program: only a hang lasts this long.
constexpr double kLimitSeconds = 30;
// The program is taken to have drawn all it had to when nothing was drawn for this long: longer
// than the pause between the repaints of two windows of one change.
constexpr double kQuietSeconds = 0.15;

enum class View { Spider, ForceField, Graph };

// A window's canvas: where it lies in the window's inside below the menu bar, and how much
// narrower and lower it is than that inside, as the windows lay their controls out.
struct CanvasPlace {
    int32_t left;
    int32_t top;
    int32_t widthLess;
    int32_t heightLess;
};
constexpr CanvasPlace kSpiderCanvas{9, 7, 772 - 756, 624 - 582};
constexpr CanvasPlace kForceFieldCanvas{14, 14, 674 - 646, 707 - 652};
constexpr CanvasPlace kGraphCanvas{24, 14, 725 - 677, 411 - 363};
// The main window's size when the program shows it first, without its menu bar.
constexpr int32_t kMainWidth = 772;
constexpr int32_t kMainHeight = 624;
// The centres of the buttons beneath the spider plot at that size.
constexpr ScreenPoint kForceFieldButton{422 + 87 / 2, 597 + 20 / 2};
constexpr ScreenPoint kGraphButton{683 + 69 / 2, 597 + 20 / 2};

struct Case {
    View view;
    // 0: maximised; otherwise the window's inside without its menu bar.
    int32_t width;
    int32_t height;

    const char* viewName() const
    {
        return view == View::Spider ? "spider" : view == View::ForceField ? "forcefield" : "graph";
    }
};

// The points of the drag's two ends on the canvas, for the document as the file holds it.
struct Ends {
    ScreenPoint a;
    ScreenPoint b;
};

Ends endsOnCanvas(View view, const Document& d, int32_t W, int32_t H)
{
    const Player& p = d.Player[1];
    switch (view) {
    case View::Spider: {
        // The spider plot spreads the model space it shows over the canvas.
        const auto x = [&](int32_t v) {
            return static_cast<int32_t>(int64_t{v} * W / frmMain::kShownModelWidth);
        };
        const auto y = [&](int32_t v) {
            return static_cast<int32_t>(int64_t{v} * H / frmMain::kShownModelHeight);
        };
        return {{x(p.xcentre), y(p.ycentre)}, {x(p.xcentre + 40), y(p.ycentre + 30)}};
    }
    case View::ForceField: {
        int32_t column = 1;
        while (column < d.NumPlayer && !IsDrawnInForceField(d.Player[column]))
            ++column;
        const int32_t x = ForceFieldColumnWidth(W, d.NumPlayer) * column + 10;
        return {{x, H / 4}, {x, H / 4 + 40}};
    }
    case View::Graph: {
        const GraphMapping map = GraphMapping::screen(W, H);
        return {{map.plotx(p.Position), map.ploty(p.Importance)},
                {map.plotx(p.Position > 0 ? p.Position - 30 : p.Position + 30),
                 map.ploty(p.Importance > 50 ? p.Importance - 20 : p.Importance + 20)}};
    }
    }
    return {};
}

bool writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    out.close();
    return !out.fail();
}

// A failure of the case, said on the error output.
bool failed(const Case& c, const char* what)
{
    std::fprintf(stderr, "kestrix_bench: outside %s: %s\n", c.viewName(), what);
    return false;
}

// A home with the benchmark's document and a preferences file that remembers it.
bool makeHome(const std::filesystem::path& home)
{
    const auto folder = [](const std::filesystem::path& path) {
        std::error_code ec;
        std::filesystem::create_directories(path, ec);
        // The toolkit wants its runtime folder to be the user's alone; so may the others be.
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, ec);
        return !ec;
    };
    const Document d = BenchDocument(kPlayers);
    const std::filesystem::path data = home / kFileName;
    return folder(home / ".config") && folder(home / "runtime") &&
           writeFile(data, WriteDataFile(MakeDataFileContents(false, d.NumPlayer, d.Player, d.Links,
                                                              d.AveColour))) &&
           writeFile(home / ".config" / "KestrixPrefs", WritePrefsFile(data.string()));
}

// The program started with a home of its own, showing the benchmark's document in its main
// window at its first size.
struct OpenedDocument {
    std::unique_ptr<platform::bench::StartedProgram> program;
    uint32_t main = 0;
    ScreenRect shown;
    int32_t menuBar = 0;
};

bool openDocument(XDriver& x, const std::string& display, const Case& c,
                  const std::filesystem::path& home, OpenedDocument& opened)
{
    if (!makeHome(home))
        return failed(c, "the document could not be written");
    if (!x.connected())
        return failed(c, "the X server has no XTEST or DAMAGE");
    const std::string h = home.string();
    opened.program = std::make_unique<platform::bench::StartedProgram>(
        std::vector<std::string>{KESTRIX_PROGRAM}, display,
        std::vector<std::string>{"HOME=" + h, "XDG_CONFIG_HOME=" + h + "/.config",
                                 "XDG_RUNTIME_DIR=" + h + "/runtime", "QT_QPA_PLATFORM=xcb"});
    const auto& program = *opened.program;
    if (!program.started())
        return failed(c, "the program did not start");

    // The start-up question's default button opens an existing document; the Open dialog
    // offers the file the preferences remember.
    const uint32_t question = x.awaitWindow(program.pid(), "Starting up ...", kLimitSeconds);
    if (!question)
        return failed(c, "no start-up question");
    const uint32_t open =
        x.pressUntil(program.pid(), question, "Starting up ...", "Open", kReturnKey, kLimitSeconds);
    if (!open)
        return failed(c, "no Open dialog");
    const uint32_t main =
        x.pressUntil(program.pid(), open, "Open", std::string("Varnholt - ") + kFileName,
                     kReturnKey, kLimitSeconds);
    if (!main || !x.awaitQuiet(kQuietSeconds, kLimitSeconds))
        return failed(c, "the document was not opened");
    const std::optional<ScreenRect> shown = x.geometry(main);
    // The menu bar is all that the window holds beside its inside.
    const int32_t menuBar = shown ? shown->height - kMainHeight : -1;
    if (!shown || shown->width != kMainWidth || menuBar < 0 || menuBar > 200)
        return failed(c, "the main window is not at its first size");
    opened.main = main;
    opened.shown = *shown;
    opened.menuBar = menuBar;
    return true;
}

// Opens the view's window with its button beneath the spider plot.
uint32_t openView(XDriver& x, const OpenedDocument& d, View view)
{
    const ScreenPoint button = view == View::ForceField ? kForceFieldButton : kGraphButton;
    x.click({d.shown.x + button.x, d.shown.y + d.menuBar + button.y});
    return x.awaitWindow(d.program->pid(),
                         view == View::ForceField ? "Force Field Analysis"
                                                  : "Position vs. Importance",
                         kLimitSeconds);
}

// The peak resident memory of a process so far, in MiB; 0 when not known.
double peakMemoryMiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("VmHWM:"))
            return std::atof(line.c_str() + 6) / 1024;
    return 0;
}

// Drags one player of the view's canvas there and back, `drags` times in all, in the window
// whose inside is `inside`; the time of each from its release to the window's last damage.
bool timeDrags(XDriver& x, View view, uint32_t window, const ScreenRect& inside, int32_t menuBar,
               int64_t drags, std::vector<double>& ms)
{
    const CanvasPlace place = view == View::Spider       ? kSpiderCanvas
                              : view == View::ForceField ? kForceFieldCanvas
                                                         : kGraphCanvas;
    const int32_t W = inside.width - place.widthLess;
    const int32_t H = inside.height - menuBar - place.heightLess;
    const Ends ends = endsOnCanvas(view, BenchDocument(kPlayers), W, H);
    const auto onScreen = [&](ScreenPoint p) {
        return ScreenPoint{inside.x + place.left + p.x, inside.y + menuBar + place.top + p.y};
    };
    for (int64_t i = 0; i < drags; ++i) {
        // There and back: every drag moves the same player as far.
        const ScreenPoint from = onScreen(i % 2 ? ends.b : ends.a);
        const ScreenPoint to = onScreen(i % 2 ? ends.a : ends.b);
        const double seconds = x.timeDrag(window, from, to, kQuietSeconds, kLimitSeconds);
        if (seconds < 0)
            return false;
        ms.push_back(seconds * 1e3);
    }
    return true;
}

bool runCase(const std::string& display, const Case& c, int64_t drags,
             const std::filesystem::path& home, OutsideFigure& figure)
{
    XDriver x(display);
    OpenedDocument opened;
    if (!openDocument(x, display, c, home, opened))
        return false;
    const uint32_t main = opened.main;
    const int32_t menuBar = opened.menuBar;

    uint32_t window = main;
    if (c.view != View::Spider) {
        window = openView(x, opened, c.view);
        if (!window)
            return failed(c, "its button opened no window");
    }
    const bool sized = c.width == 0 ? x.maximise(window, kLimitSeconds)
                                    : x.resize(window, c.width, c.height + menuBar, kLimitSeconds);
    if (!sized || !x.activate(window, kLimitSeconds) || !x.awaitQuiet(kQuietSeconds, kLimitSeconds))
        return failed(c, "the window could not be sized");
    const std::optional<ScreenRect> inside = x.geometry(window);
    if (!inside)
        return failed(c, "the window went away");
    std::vector<double> ms;
    if (!timeDrags(x, c.view, window, *inside, menuBar, drags, ms))
        return failed(c, "a release drew nothing in the window");
    x.awaitQuiet(kQuietSeconds, kLimitSeconds);
    // A maximised window is named by its screen, as the other releases are.
    const int32_t nameWidth = c.width == 0 ? x.screenWidth() : c.width;
    const int32_t nameHeight = c.width == 0 ? x.screenHeight() : c.height;
    figure.name = std::string("Outside/") + c.viewName() + "/" + std::to_string(nameWidth) + "x" +
                  std::to_string(nameHeight) + "/" + std::to_string(kPlayers);
    figure.medianMs = percentile(ms, 0.5);
    figure.p90Ms = percentile(ms, 0.9);
    figure.windowWidth = inside->width;
    figure.windowHeight = inside->height - menuBar;
    figure.drags = static_cast<int32_t>(ms.size());
    std::printf("%-36s median %7.2f ms  p90 %7.2f ms  (%d drags)\n", figure.name.c_str(),
                figure.medianMs, figure.p90Ms, figure.drags);
    std::fflush(stdout);
    return true;
}

} // namespace

bool TimeDragsFromOutside(const std::string& display, int32_t screenWidth, int64_t drags,
                          const std::string& folder, std::vector<OutsideFigure>& figures)
{
    std::vector<Case> cases;
    // The force field at the main window's first size on the smaller screen; every view
    // maximised on the larger.
    if (screenWidth < 3840)
        cases.push_back({View::ForceField, kMainWidth, kMainHeight});
    else
        cases = {{View::Spider, 0, 0}, {View::Graph, 0, 0}, {View::ForceField, 0, 0}};
    bool ok = true;
    for (const Case& c : cases) {
        OutsideFigure figure;
        const std::filesystem::path home =
            std::filesystem::path(folder) / (std::string("outside-") + c.viewName());
        if (runCase(display, c, drags, home, figure))
            figures.push_back(figure);
        else
            ok = false;
        // The program is gone; its windows go once the server has seen it go.
        XDriver(display).awaitNoWindows(kLimitSeconds);
    }
    return ok;
}

bool MeasureMemory(const std::string& display, const std::string& folder, MemoryFigure& figure)
{
    const Case c{View::Spider, 0, 0};
    bool ok = false;
    {
        XDriver x(display);
        OpenedDocument opened;
        if (!openDocument(x, display, c, std::filesystem::path(folder) / "memory", opened))
            return false;
        // Every view open, each window maximised.
        const uint32_t forceField = openView(x, opened, View::ForceField);
        const bool graphOpened = forceField && x.activate(opened.main, kLimitSeconds);
        const uint32_t graph = graphOpened ? openView(x, opened, View::Graph) : 0;
        ok = graph != 0;
        for (uint32_t w : {opened.main, forceField, graph})
            ok = ok && x.maximise(w, kLimitSeconds) && x.awaitQuiet(kQuietSeconds, kLimitSeconds);
        if (!ok)
            return failed(c, "the views could not be opened and maximised for the memory");
        // A drag in the spider plot, in front: what its canvas keeps while the button is held
        // counts too.
        const std::optional<ScreenRect> inside = x.geometry(opened.main);
        std::vector<double> ms;
        if (!inside || !x.activate(opened.main, kLimitSeconds) ||
            !x.awaitQuiet(kQuietSeconds, kLimitSeconds) ||
            !timeDrags(x, View::Spider, opened.main, *inside, opened.menuBar, 2, ms))
            return failed(c, "the spider plot could not be dragged for the memory");
        figure.windows = 3;
        figure.programMiB = peakMemoryMiB(opened.program->pid());
    }
    XDriver(display).awaitNoWindows(kLimitSeconds);
    {
        XDriver x(display);
        platform::bench::StartedProgram bare({KESTRIX_BARE_WINDOW, "3"}, display,
                                             {"QT_QPA_PLATFORM=xcb"});
        for (int i = 1; i <= 3 && ok; ++i) {
            const uint32_t w =
                x.awaitWindow(bare.pid(), "Bare window " + std::to_string(i), kLimitSeconds);
            ok = w && x.maximise(w, kLimitSeconds) && x.awaitQuiet(kQuietSeconds, kLimitSeconds);
        }
        if (!ok)
            return failed(c, "the bare windows could not be shown maximised");
        figure.bareMiB = peakMemoryMiB(bare.pid());
    }
    XDriver(display).awaitNoWindows(kLimitSeconds);
    std::printf("Memory: program %.1f MiB, bare windows %.1f MiB (peak resident, 3 windows "
                "maximised)\n",
                figure.programMiB, figure.bareMiB);
    std::fflush(stdout);
    return figure.programMiB > 0 && figure.bareMiB > 0;
}
