// What the user waits for after a release: a refresh of a view's window through the widget's
// paint event and the backing store to the flush, beside its floor, a bare window of the
// toolkit that shows the same pixels drawn with raw painter calls. Each figure times its
// refreshes interleaved with its floor's, one of each in turn, so that both meet the same
// machine; the pixels of the two are compared first and the run fails when they differ.

#include "bench/bench_benchmarks.h"
#include "bench/bench_document.h"
#include "bench/view_floors.h"

#include "app/frmMain.h"
#include "forcefield/ffield.h"
#include "graph/graph.h"

#include "platform/bench/painter_floor.h"
#include "platform/bench/x_server.h"
#include "platform/testing.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using platform::bench::FloorWindow;
using platform::bench::PainterFloor;

struct Size {
    int32_t width;
    int32_t height;
};

constexpr Size kSizes[] = {{772, 624}, {3840, 2160}};
constexpr int32_t kPlayers[] = {10, 25, 50};

enum class View { Spider, ForceField, Graph };
constexpr View kViews[] = {View::Spider, View::ForceField, View::Graph};

const char* viewName(View v)
{
    switch (v) {
    case View::Spider:
        return "spider";
    case View::ForceField:
        return "forcefield";
    case View::Graph:
        return "graph";
    }
    return "";
}

struct Case {
    View view;
    Size size;
    int32_t players;

    std::string name() const
    {
        return std::string(viewName(view)) + "/" + std::to_string(size.width) + "x" +
               std::to_string(size.height) + "/" + std::to_string(players);
    }
};

// The view's window at the case's size over the case's document, brought to the front, with
// the canvases its refresh covers.
struct Scene {
    platform::Window* window = nullptr;
    std::vector<const platform::Canvas*> canvases;
};

Scene openScene(const Case& c)
{
    frmMain& m = frmMain::instance();
    Scene scene;
    switch (c.view) {
    case View::Spider:
        scene.window = &m;
        scene.canvases = {m.Canvas1, m.Canvas2};
        break;
    case View::ForceField: {
        ffield& f = ffield::instance();
        f.background = true;
        f.CaptionsOn = true;
        scene.window = &f;
        scene.canvases = {f.cGraph};
        break;
    }
    case View::Graph: {
        graph& g = graph::instance();
        g.ColourBkgd = true;
        g.CaptionsOn = true; // the slowest: the captions are measured and shifted
        scene.window = &g;
        scene.canvases = {g.cGraph};
        break;
    }
    }
    // A resize of the main window moves the players' centres: the document comes after it.
    scene.window->setSize(c.size.width, c.size.height);
    platform::testing::activate(*scene.window);
    platform::bench::awaitShown(*scene.window);
    LoadBenchDocument(m, c.players);
    platform::bench::repaintWholeAndFlush(*scene.window);
    return scene;
}

void paintFloor(const Case& c, const Scene& scene, size_t area, PainterFloor& f)
{
    const frmMain& m = frmMain::instance();
    switch (c.view) {
    case View::Spider:
        DrawSpiderFloor(m, area, f, m.Canvas1->width(), m.Canvas1->height());
        break;
    case View::ForceField:
        DrawForceFieldFloor(ffield::instance(), m, f, scene.canvases[0]->width(),
                            scene.canvases[0]->height());
        break;
    case View::Graph:
        DrawGraphFloor(graph::instance(), m, f, scene.canvases[0]->width(),
                       scene.canvases[0]->height());
        break;
    }
}

// How many pixels of the canvases differ between the program's refresh and the floor's, as
// both show them on the screen; reports where the first difference lies.
long comparePixels(const Case& c, const Scene& scene, FloorWindow& floor)
{
    long differ = 0;
    for (size_t i = 0; i < scene.canvases.size(); ++i) {
        const std::vector<uint32_t> shown = platform::bench::shownPixels(*scene.canvases[i]);
        const std::vector<uint32_t> floorShown = floor.shownPixels(i);
        if (shown.size() != floorShown.size() || shown.empty()) {
            std::fprintf(stderr, "%s: canvas %zu shows %zu pixels, the floor %zu\n",
                         c.name().c_str(), i, shown.size(), floorShown.size());
            return static_cast<long>(
                std::max<size_t>(1, std::max(shown.size(), floorShown.size())));
        }
        const int32_t width = scene.canvases[i]->width();
        for (size_t p = 0; p < shown.size(); ++p) {
            if (shown[p] == floorShown[p] || shown[p] == platform::bench::kCovered)
                continue;
            if (differ++ == 0)
                std::fprintf(stderr, "%s: canvas %zu at (%zu, %zu) shows %06x, the floor %06x\n",
                             c.name().c_str(), i, p % static_cast<size_t>(width),
                             p / static_cast<size_t>(width), shown[p], floorShown[p]);
        }
    }
    return differ;
}

bool gPixelsDiffered = false;

// The seconds the work takes, and adds the processor time of all threads that it took to `cpu`
// (a large canvas is painted in bands on several threads).
double secondsOf(const std::function<void()>& work, double& cpu)
{
    const double cpuBefore = platform::bench::processCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    const auto end = std::chrono::steady_clock::now();
    cpu += platform::bench::processCpuSeconds() - cpuBefore;
    return std::chrono::duration<double>(end - start).count();
}

// One figure: `ownRefresh` times the program's refreshes, otherwise the floor's; each
// iteration does one of each, the order changing from one iteration to the next.
void runPair(benchmark::State& state, const Case& c, bool ownRefresh)
{
    const Scene scene = openScene(c);
    FloorWindow floor(*scene.window, scene.canvases);
    floor.onPaint = [&](size_t area, PainterFloor& f) { paintFloor(c, scene, area, f); };
    floor.refreshAndFlush();

    const long differ = comparePixels(c, scene, floor);
    state.counters["pixels_differ"] = static_cast<double>(differ);
    if (differ != 0) {
        gPixelsDiffered = true;
        state.SkipWithError("the refresh and its floor show different pixels");
        return;
    }

    // The benchmark's own clock stops while the other of the pair runs; the stopwatch here
    // times both, for the ratio of the pairs.
    double refreshTotal = 0;
    double floorTotal = 0;
    double ownCpu = 0;
    double otherCpu = 0;
    bool ownFirst = false;
    const std::function<void()> refresh = [&] {
        platform::bench::repaintWholeAndFlush(*scene.window);
    };
    const std::function<void()> floorRefresh = [&] { floor.refreshAndFlush(); };
    const std::function<void()>& own = ownRefresh ? refresh : floorRefresh;
    const std::function<void()>& other = ownRefresh ? floorRefresh : refresh;
    for (auto _ : state) {
        double ownSeconds = 0;
        double otherSeconds = 0;
        const auto runOther = [&] {
            state.PauseTiming();
            otherSeconds = secondsOf(other, otherCpu);
            state.ResumeTiming();
        };
        if (!ownFirst)
            runOther();
        ownSeconds = secondsOf(own, ownCpu);
        if (ownFirst)
            runOther();
        ownFirst = !ownFirst;
        refreshTotal += ownRefresh ? ownSeconds : otherSeconds;
        floorTotal += ownRefresh ? otherSeconds : ownSeconds;
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["refresh_ms"] = refreshTotal / n * 1e3;
    state.counters["floor_ms"] = floorTotal / n * 1e3;
    state.counters["ratio"] = floorTotal > 0 ? refreshTotal / floorTotal : 0;
    const double refreshCpu = ownRefresh ? ownCpu : otherCpu;
    const double floorCpu = ownRefresh ? otherCpu : ownCpu;
    state.counters["refresh_cpu_ms"] = refreshCpu / n * 1e3;
    state.counters["floor_cpu_ms"] = floorCpu / n * 1e3;
    state.counters["cpu_ratio"] = floorCpu > 0 ? refreshCpu / floorCpu : 0;
}

} // namespace

void RegisterRefreshBenchmarks(int64_t iterations)
{
    for (View view : kViews)
        for (Size size : kSizes)
            for (int32_t players : kPlayers) {
                const Case c{view, size, players};
                for (bool ownRefresh : {true, false}) {
                    benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(
                        ((ownRefresh ? "Refresh/" : "Floor/") + c.name()).c_str(),
                        [c, ownRefresh](benchmark::State& state) {
                            runPair(state, c, ownRefresh);
                        });
                    b->Unit(benchmark::kMillisecond);
                    if (iterations > 0)
                        b->Iterations(iterations);
                }
            }
}

bool RefreshPixelsDiffered()
{
    return gPixelsDiffered;
}
