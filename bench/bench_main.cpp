// Runs the benchmarks headless with the program's application object, then prints each
// refresh beside its floor and against the goal of one frame. Google Benchmark's own flags
// work as usual (--benchmark_filter, --benchmark_repetitions, --benchmark_out).

#include "bench/bench_benchmarks.h"
#include "bench/bench_document.h"

#include "app/App.h"
#include "app/FileTypes.h"

#include "platform/testing.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// One frame at 60 Hz.
constexpr double kFrameMs = 1000.0 / 60;

// The console report, keeping each figure's time and counters for the summary; with
// repetitions the median stands for the figure.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    struct Figure {
        double ms = 0;
        std::map<std::string, double> counters;
    };

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations <= 0)
                continue;
            std::string name = run.benchmark_name();
            if (run.run_type == Run::RT_Aggregate) {
                const std::string suffix = "_median";
                if (run.aggregate_name != "median" || !name.ends_with(suffix))
                    continue;
                name.resize(name.size() - suffix.size());
                mMedian[name] = figureOf(run);
            } else {
                mLast[name] = figureOf(run);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printSummary() const
    {
        std::printf("\nRelease to flush, each refresh interleaved with its floor (medians when "
                    "repeated)\n");
        std::printf("  %-28s %11s %11s %7s  %s\n", "figure", "refresh ms", "floor ms", "ratio",
                    "pixels");
        std::printf("  (ratio: refresh to floor over the interleaved pairs of both figures)\n");
        for (const auto& [name, refresh] : figures()) {
            if (!name.starts_with("Refresh/"))
                continue;
            const std::string key = name.substr(std::string("Refresh/").size());
            const Figure* floor = find("Floor/" + key);
            // Both figures time their pairs, each one's own half: the ratio is theirs.
            const double ratio = floor ? (counter(refresh, "ratio") + counter(*floor, "ratio")) / 2
                                       : counter(refresh, "ratio");
            std::printf("  %-28s %11.2f %11.2f %7.2f  %s\n", key.c_str(), refresh.ms,
                        floor ? floor->ms : 0.0, ratio,
                        counter(refresh, "pixels_differ") == 0 ? "same" : "DIFFER");
        }
        std::printf("\nGoal: 50 players, release to flush within one frame (%.1f ms)\n", kFrameMs);
        for (const char* figure : {"spider/772x624/50", "forcefield/772x624/50", "graph/772x624/50",
                                   "spider/3840x2160/50"})
            if (const Figure* f = find(std::string("Refresh/") + figure))
                std::printf("  %-24s %8.2f ms  %s\n", figure, f->ms,
                            f->ms <= kFrameMs ? "within" : "MISSED");
    }

private:
    static Figure figureOf(const Run& run)
    {
        Figure f;
        f.ms = run.real_accumulated_time / static_cast<double>(run.iterations) * 1e3;
        for (const auto& [key, c] : run.counters)
            f.counters[key] = c.value;
        return f;
    }

    static double counter(const Figure& f, const std::string& key)
    {
        const auto it = f.counters.find(key);
        return it == f.counters.end() ? 0 : it->second;
    }

    std::map<std::string, Figure> figures() const
    {
        std::map<std::string, Figure> all = mLast;
        for (const auto& [name, f] : mMedian)
            all[name] = f;
        return all;
    }

    const Figure* find(const std::string& name) const
    {
        if (const auto it = mMedian.find(name); it != mMedian.end())
            return &it->second;
        const auto it = mLast.find(name);
        return it == mLast.end() ? nullptr : &it->second;
    }

    std::map<std::string, Figure> mLast;
    std::map<std::string, Figure> mMedian;
};

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    // Preferences and data files go to a folder of the run's own, never the user's.
    std::string folder = (std::filesystem::temp_directory_path() / "kestrix-bench-XXXXXX").string();
    if (!mkdtemp(folder.data())) {
        std::perror("kestrix_bench: temporary folder");
        return 1;
    }
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);

    bool differed = false;
    {
        FileTypes::Declare();
        auto app = std::make_unique<App>();
        frmMain& w = BenchMainWindow();
        RegisterRefreshBenchmarks();
        RegisterDataFileBenchmarks(w, folder);
        SummaryReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        reporter.printSummary();
        differed = RefreshPixelsDiffered();
        platform::testing::destroyAllWindows();
    }
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    if (differed) {
        std::fprintf(stderr, "kestrix_bench: a refresh and its floor showed different pixels\n");
        return 1;
    }
    return 0;
}
