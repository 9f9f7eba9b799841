// What the user waits for after a drag: from the pointer's release, delivered through the event
// loop to the view's handler, until every window that the change repaints has been flushed to
// the X server and the server has processed it. Each view is dragged in its own window (the
// spider plot in the main window, which every case also repaints), at 772 x 624 and maximised
// on the screen, over documents of 10, 25 and 50 players. Every drag starts from the same
// document, so that each release does the same work.

#include "bench/bench_benchmarks.h"
#include "bench/bench_document.h"
#include "bench/bench_stats.h"

#include "app/frmMain.h"
#include "forcefield/ffield.h"
#include "graph/graph.h"

#include "platform/bench/painter_floor.h"
#include "platform/bench/x_server.h"
#include "platform/testing.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

enum class View { Spider, ForceField, Graph };
constexpr View kViews[] = {View::Spider, View::ForceField, View::Graph};
constexpr int32_t kPlayers[] = {10, 25, 50};

struct Case {
    View view;
    int32_t width;
    int32_t height;
    bool maximised;
    int32_t players;

    std::string name() const
    {
        const char* view = this->view == View::Spider       ? "spider"
                           : this->view == View::ForceField ? "forcefield"
                                                            : "graph";
        return std::string("Release/") + view + "/" + std::to_string(width) + "x" +
               std::to_string(height) + "/" + std::to_string(players);
    }
};

// A press, the point it is dragged to, and the canvas that gets them.
struct Drag {
    platform::Canvas* canvas = nullptr;
    int32_t x = 0;
    int32_t y = 0;
    int32_t toX = 0;
    int32_t toY = 0;
};

// The first player that the force field draws, or 1.
int32_t firstDrawn(const frmMain& m)
{
    for (int32_t i = 1; i <= m.NumPlayer; ++i)
        if (IsDrawnInForceField(m.Player[i]))
            return i;
    return 1;
}

// The drag of a player of the document as it is now, in the case's view: far enough to move
// it, never a click.
Drag dragOf(View view)
{
    frmMain& m = frmMain::instance();
    switch (view) {
    case View::Spider: {
        const Player& p = m.Player[1];
        return {m.Canvas1, m.plotx(p.xcentre), m.ploty(p.ycentre), m.plotx(p.xcentre + 40),
                m.ploty(p.ycentre + 30)};
    }
    case View::ForceField: {
        ffield& f = ffield::instance();
        const int32_t i = firstDrawn(m);
        const int32_t x = ForceFieldColumnWidth(f.cGraph->width(), m.NumPlayer) * i + 10;
        const int32_t y = f.cGraph->height() / 4;
        return {f.cGraph, x, y, x, y + 40};
    }
    case View::Graph: {
        graph& g = graph::instance();
        const GraphMapping map = GraphMapping::screen(g.cGraph->width(), g.cGraph->height());
        const Player& p = m.Player[1];
        return {g.cGraph, map.plotx(p.Position), map.ploty(p.Importance),
                map.plotx(p.Position > 0 ? p.Position - 30 : p.Position + 30),
                map.ploty(p.Importance > 50 ? p.Importance - 20 : p.Importance + 20)};
    }
    }
    return {};
}

// Opens the case's window at the case's size, in front; the main window stays at 772 x 624
// behind a view's own.
platform::Window& openWindow(const Case& c)
{
    frmMain& m = frmMain::instance();
    if (c.view != View::ForceField && ffield::exists())
        ffield::instance().close();
    if (c.view != View::Graph && graph::exists())
        graph::instance().close();
    platform::testing::processEvents();
    platform::Window* window = &m;
    // The main window as the program shows it first; a maximised spider plot is maximised
    // from there, as the user would.
    platform::bench::showAtSize(m, 772, 624);
    if (c.view == View::ForceField) {
        ffield& f = ffield::instance();
        f.background = true;
        f.CaptionsOn = true;
        window = &f;
    } else if (c.view == View::Graph) {
        graph& g = graph::instance();
        g.ColourBkgd = true;
        g.CaptionsOn = true; // the slowest: the captions are measured and shifted
        window = &g;
    }
    if (c.maximised)
        platform::bench::maximise(*window);
    else
        platform::bench::showAtSize(*window, c.width, c.height);
    platform::testing::activate(*window);
    platform::bench::awaitShown(*window);
    return *window;
}

void runRelease(benchmark::State& state, const Case& c)
{
    frmMain& m = frmMain::instance();
    platform::Window& window = openWindow(c);
    LoadBenchDocument(m, c.players);
    platform::bench::refreshAndFlush(window);

    std::vector<double> ms;
    double cpu = 0;
    for (auto _ : state) {
        // Every drag starts from the same document, which the screen shows: the release
        // repaints what the drag changed of it.
        LoadBenchDocument(m, c.players);
        platform::bench::refreshAndFlush(m);
        if (&window != &m)
            platform::bench::refreshAndFlush(window);
        const Drag drag = dragOf(c.view);
        platform::bench::pressAndDrag(*drag.canvas, drag.x, drag.y, drag.toX, drag.toY);

        const double cpuBefore = platform::bench::processCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        platform::bench::releaseAndFlush(*drag.canvas, drag.toX, drag.toY);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu += platform::bench::processCpuSeconds() - cpuBefore;
        state.SetIterationTime(seconds);
        ms.push_back(seconds * 1e3);
    }
    state.counters["median_ms"] = percentile(ms, 0.5);
    state.counters["p90_ms"] = percentile(ms, 0.9);
    state.counters["cpu_ms"] = cpu / static_cast<double>(ms.size()) * 1e3;
    state.counters["window_w"] = window.width();
    state.counters["window_h"] = window.height();
}

} // namespace

void RegisterReleaseBenchmarks(int32_t screenWidth, int32_t screenHeight, int64_t drags)
{
    std::vector<Case> cases;
    // The window at its default size fits on the smaller screen; maximised, it takes each.
    if (screenWidth < 3840)
        for (View view : kViews)
            for (int32_t players : kPlayers)
                cases.push_back({view, 772, 624, false, players});
    for (View view : kViews)
        for (int32_t players : kPlayers)
            cases.push_back({view, screenWidth, screenHeight, true, players});
    for (const Case& c : cases)
        benchmark::RegisterBenchmark(c.name().c_str(),
                                     [c](benchmark::State& state) { runRelease(state, c); })
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(drags);
}
