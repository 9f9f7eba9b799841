// The spider plot's full paint of the benchmark document into an off-screen picture, beside
// its floor: the same primitives drawn straight with the toolkit's painter.

#include "bench/bench_benchmarks.h"
#include "bench/bench_document.h"
#include "bench/qpainter_floor.h"

#include "app/frmMain.h"
#include "spider/SpiderDrawing.h"

#include "platform/picture.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

struct Size {
    int32_t width;
    int32_t height;
};

constexpr Size kSizes[] = {{772, 624}, {3840, 2160}};

std::string sizeName(Size s)
{
    return std::to_string(s.width) + "x" + std::to_string(s.height);
}

// How much of the floor's image differs from the paint's, as a check that both draw the same.
void compareOnce(frmMain& w, Size s)
{
    LoadBenchDocument(w);
    platform::Picture pic(s.width, s.height);
    DrawSpiderPlot(w, pic.graphics(), SpiderTarget::Screen, s.width, s.height);
    QPainterFloor floor(s.width, s.height);
    floor.paint(w, s.width, s.height);
    int64_t differ = 0;
    for (int32_t y = 0; y < s.height; ++y)
        for (int32_t x = 0; x < s.width; ++x) {
            const platform::Color c = pic.pixel(x, y);
            const uint32_t rgb = (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
            differ += rgb != floor.pixel(x, y);
        }
    std::printf("Paint and floor at %s: %.2f%% of the pixels differ\n", sizeName(s).c_str(),
                100.0 * static_cast<double>(differ) / (double(s.width) * s.height));
}

} // namespace

void RegisterPaintBenchmarks(frmMain& w)
{
    for (Size s : kSizes)
        compareOnce(w, s);
    std::fflush(stdout);
    for (Size s : kSizes) {
        benchmark::RegisterBenchmark(("SpiderPaint/" + sizeName(s)).c_str(),
                                     [&w, s](benchmark::State& state) {
                                         LoadBenchDocument(w);
                                         platform::Picture pic(s.width, s.height);
                                         for (auto _ : state)
                                             DrawSpiderPlot(w, pic.graphics(), SpiderTarget::Screen,
                                                            s.width, s.height);
                                     })
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("QPainterFloor/" + sizeName(s)).c_str(),
                                     [&w, s](benchmark::State& state) {
                                         LoadBenchDocument(w);
                                         QPainterFloor floor(s.width, s.height);
                                         for (auto _ : state)
                                             floor.paint(w, s.width, s.height);
                                     })
            ->Unit(benchmark::kMicrosecond);
    }
}
