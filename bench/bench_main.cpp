// Runs the benchmarks headless with the program's application object, then prints how the
// spider plot's paint compares with its floor.

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

// The console report, keeping each benchmark's time per iteration for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        // With repetitions, the median stands for the benchmark.
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations <= 0)
                continue;
            std::string name = run.benchmark_name();
            const double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
            if (run.run_type == Run::RT_Aggregate) {
                const std::string suffix = "_median";
                if (run.aggregate_name != "median" || !name.ends_with(suffix))
                    continue;
                name.resize(name.size() - suffix.size());
                mMedian[name] = seconds;
            } else {
                mSeconds[name] = seconds;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatios() const
    {
        std::printf("\nSpider plot paint against its QPainter floor (goal: at most 1.25)\n");
        for (const char* size : {"772x624", "3840x2160"}) {
            const double paint = seconds(std::string("SpiderPaint/") + size);
            const double floor = seconds(std::string("QPainterFloor/") + size);
            if (paint > 0 && floor > 0)
                std::printf("  %-10s paint %9.1f us   floor %9.1f us   ratio %.2f\n", size,
                            paint * 1e6, floor * 1e6, paint / floor);
        }
    }

private:
    double seconds(const std::string& name) const
    {
        if (const auto it = mMedian.find(name); it != mMedian.end())
            return it->second;
        const auto it = mSeconds.find(name);
        return it == mSeconds.end() ? 0 : it->second;
    }

    std::map<std::string, double> mSeconds; // per iteration, of the last run
    std::map<std::string, double> mMedian;  // the median of the repetitions
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

    {
        FileTypes::Declare();
        auto app = std::make_unique<App>();
        frmMain& w = BenchMainWindow();
        RegisterPaintBenchmarks(w);
        RegisterDataFileBenchmarks(w, folder);
        SummaryReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        reporter.printRatios();
        platform::testing::destroyAllWindows();
    }
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return 0;
}
