// The benchmarks of what the user waits for. Run plainly, the program runs itself three times:
// headless, each view's refresh beside its floor (the same pixels drawn with raw painter
// calls) and the data file; then on virtual X servers that it starts itself, with a window
// manager, a drag in each view from its release to the flush, on a screen of 1920 x 1080 (the
// window at 772 x 624 and maximised) and of 3840 x 2160 (maximised). After each screen's run it
// times drags of the real program on the same server from outside it (the pointer's release
// through XTEST to the server's damage of the view's window): the force field at 772 x 624 on
// the smaller screen, the spider plot and the graph maximised on the larger. Before them it
// times its start-up against a bare window of the toolkit on a bare X server, and at the end
// it checks every figure against its goal. Google Benchmark's own flags (--benchmark_filter,
// --benchmark_repetitions, --benchmark_out, which gets each run's name added to its file name)
// go to each run. Its own flags:
//   --drags=N      drags timed per release case, in the program and from outside it (60)
//   --startups=N   start-ups of each program (15)
//   --quick        each case once, briefly: whether every case runs and every floor matches
//                  (from outside, a drag there and one back)
//   --busy=N       the drags once more beside N busy processes of ordinary priority, which
//                  it starts and ends itself (one a processor is the busy machine's figure);
//                  the summary shows the quiet and the busy figures side by side
// On the larger screen it also measures the peak resident memory of the program with every
// view open maximised and a player dragged in the spider plot, beside that of a bare program
// of the toolkit with as many windows.

#include "bench/bench_benchmarks.h"
#include "bench/bench_document.h"

#include "app/App.h"
#include "app/FileTypes.h"

#include "platform/bench/x_server.h"
#include "platform/testing.h"

#include <benchmark/benchmark.h>

#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// One frame at 60 Hz, and the other goals: from outside, a frame at 120 Hz on a quiet machine
// and one at 60 Hz on a busy one.
constexpr double kFrameMs = 1000.0 / 60;
constexpr double kReleaseP90Ms = 20;
constexpr double kQuietFrameMs = 1000.0 / 120;
constexpr double kQuietP90Ms = 12;
constexpr double kStartUpRatio = 1.25;
constexpr double kPaintCpuRatio = 1.1;
constexpr double kMemoryRatio = 1.2;

struct Screen {
    int32_t width;
    int32_t height;
};
constexpr Screen kScreens[] = {{1920, 1080}, {3840, 2160}};

struct Options {
    int64_t drags = 60;
    int32_t startups = 15;
    int32_t busy = 0;
    bool quick = false;
    bool headless = false; // this run times the refreshes and the data file
    Screen screen{0, 0};   // set: this run times the releases on that screen
    std::string results;   // where a screen's run writes its figures
    std::vector<std::string> passOn;
};

bool takeNumber(const std::string& arg, const std::string& flag, int64_t& value)
{
    if (!arg.starts_with(flag))
        return false;
    value = std::max<int64_t>(1, std::atoll(arg.c_str() + flag.size()));
    return true;
}

// Takes this program's own flags out of argv; the rest is Google Benchmark's.
Options parseOptions(int& argc, char** argv)
{
    Options o;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        int64_t number = 0;
        if (takeNumber(arg, "--drags=", o.drags)) {
        } else if (takeNumber(arg, "--startups=", number)) {
            o.startups = static_cast<int32_t>(number);
        } else if (takeNumber(arg, "--busy=", number)) {
            o.busy = static_cast<int32_t>(number);
        } else if (arg == "--quick") {
            o.quick = true;
        } else if (arg == "--screen=headless") {
            o.headless = true;
        } else if (arg.starts_with("--screen=")) {
            std::sscanf(arg.c_str(), "--screen=%dx%d", &o.screen.width, &o.screen.height);
        } else if (arg.starts_with("--results=")) {
            o.results = arg.substr(std::string("--results=").size());
        } else {
            o.passOn.push_back(arg);
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    if (o.quick) {
        o.drags = 1;
        o.startups = 1;
    }
    return o;
}

// A figure of a run: its time and counters; with repetitions the median stands for it.
struct Figure {
    double ms = 0;
    std::map<std::string, double> counters;

    double counter(const std::string& key) const
    {
        const auto it = counters.find(key);
        return it == counters.end() ? 0 : it->second;
    }
};
using Figures = std::map<std::string, Figure>;

// The console report, keeping each figure for the results file.
class FigureReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations <= 0)
                continue;
            // The name as registered, without the iterations and the kind of time.
            const std::string& name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name != "median")
                    continue;
                mMedian[name] = figureOf(run);
            } else {
                mLast[name] = figureOf(run);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    Figures figures() const
    {
        Figures all = mLast;
        for (const auto& [name, f] : mMedian)
            all[name] = f;
        return all;
    }

private:
    static Figure figureOf(const Run& run)
    {
        Figure f;
        f.ms = run.GetAdjustedRealTime();
        for (const auto& [key, c] : run.counters)
            f.counters[key] = c.value;
        return f;
    }

    Figures mLast;
    Figures mMedian;
};

// The results file: a figure a line, "name ms key=value ...".
void writeFigures(const std::string& path, const Figures& figures)
{
    std::ofstream out(path);
    for (const auto& [name, f] : figures) {
        out << name << ' ' << f.ms;
        for (const auto& [key, value] : f.counters)
            out << ' ' << key << '=' << value;
        out << '\n';
    }
}

void readFigures(const std::string& path, Figures& figures)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name;
        Figure f;
        fields >> name >> f.ms;
        std::string pair;
        while (fields >> pair)
            if (const size_t eq = pair.find('='); eq != std::string::npos)
                f.counters[pair.substr(0, eq)] = std::atof(pair.c_str() + eq + 1);
        if (!name.empty())
            figures[name] = f;
    }
}

// One run: its cases in the program's application object.
int runCases(const Options& o, int argc, char** argv, const std::string& folder)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (o.headless)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    bool differed = false;
    {
        FileTypes::Declare();
        auto app = std::make_unique<App>();
        frmMain& w = BenchMainWindow();
        if (o.headless) {
            RegisterRefreshBenchmarks(o.quick ? 1 : 0);
            RegisterDataFileBenchmarks(w, folder);
        } else {
            RegisterReleaseBenchmarks(o.screen.width, o.screen.height, o.drags);
        }
        FigureReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        if (!o.results.empty())
            writeFigures(o.results, reporter.figures());
        differed = RefreshPixelsDiffered();
        platform::testing::destroyAllWindows();
    }
    if (differed) {
        std::fprintf(stderr, "kestrix_bench: a refresh and its floor showed different pixels\n");
        return 1;
    }
    return 0;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct StartUp {
    double programMs = 0;
    double bareMs = 0;
    double ratio = 0;
    bool measured = false;
};

// Exec to the first window on the screen, the program and the bare window in turn, each
// starting first every other time.
StartUp timeStartUp(int32_t repeats)
{
    StartUp result;
    platform::bench::VirtualXServer server(1920, 1080, false);
    if (!server.running()) {
        std::fprintf(stderr, "kestrix_bench: start-up: %s\n", server.error().c_str());
        return result;
    }
    platform::bench::FirstPixels watch(server.display());
    if (!watch.connected()) {
        std::fprintf(stderr, "kestrix_bench: start-up: no damage reports from the X server\n");
        return result;
    }
    std::vector<double> program;
    std::vector<double> bare;
    std::vector<double> ratios;
    for (int32_t r = 0; r < repeats; ++r) {
        double p = 0;
        double b = 0;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (r % 2 == 0))
                p = watch.time({KESTRIX_PROGRAM}, 30);
            else
                b = watch.time({KESTRIX_BARE_WINDOW}, 30);
        }
        if (p <= 0 || b <= 0) {
            std::fprintf(stderr, "kestrix_bench: start-up: a program showed no window\n");
            return result;
        }
        program.push_back(p * 1e3);
        bare.push_back(b * 1e3);
        ratios.push_back(p / b);
    }
    result = {median(program), median(bare), median(ratios), true};
    std::printf("StartUp: program %.1f ms, bare window %.1f ms, ratio %.2f (medians of %d)\n",
                result.programMs, result.bareMs, result.ratio, repeats);
    return result;
}

const char* verdict(bool met)
{
    return met ? "met" : "MISSED";
}

// The drags' figures of one pass, and the load average of the machine at its end.
struct Pass {
    Figures figures;
    double load = 0;
    bool run = false;
};

double loadAverage()
{
    double load[1] = {0};
    return getloadavg(load, 1) > 0 ? load[0] : 0;
}

// The drags' table: a line a figure, the quiet pass's and the busy one's side by side.
void printDrags(const char* prefix, const Pass& quiet, const Pass& busy)
{
    std::printf("  %-28s %9s %9s %9s %9s %11s\n", "figure", "median", "p90", "busy med", "busy p90",
                "window");
    for (const auto& [name, f] : quiet.figures) {
        if (!name.starts_with(prefix))
            continue;
        const auto b = busy.figures.find(name);
        std::printf("  %-28s %9.2f %9.2f", name.c_str() + std::string(prefix).size(),
                    f.counter("median_ms"), f.counter("p90_ms"));
        if (b != busy.figures.end())
            std::printf(" %9.2f %9.2f", b->second.counter("median_ms"),
                        b->second.counter("p90_ms"));
        else
            std::printf(" %9s %9s", "-", "-");
        std::printf(" %5.0fx%-5.0f\n", f.counter("window_w"), f.counter("window_h"));
    }
    std::printf("  load average (1 min) at the end: quiet %.2f", quiet.load);
    if (busy.run)
        std::printf(", busy %.2f", busy.load);
    std::printf("\n");
}

void printGoal(const char* kind, const std::string& name, const Figures& figures, double medianMs,
               double p90Ms)
{
    const auto f = figures.find(name);
    const char* shortName = name.c_str() + name.find('/') + 1;
    if (f == figures.end()) {
        std::printf("  %-12s %-24s not measured\n", kind, shortName);
        return;
    }
    const double med = f->second.counter("median_ms");
    const double p90 = f->second.counter("p90_ms");
    std::printf("  %-12s %-24s median %6.2f ms (<= %.1f) %-6s  p90 %6.2f ms (<= %.0f) %s\n", kind,
                shortName, med, medianMs, verdict(med <= medianMs), p90, p90Ms,
                verdict(p90 <= p90Ms));
}

void printSummary(const Figures& figures, const Pass& quiet, const Pass& busy,
                  const StartUp& startUp, const MemoryFigure& memory)
{
    std::printf("\nRelease to flush of every repainted window (X server, ms)\n");
    printDrags("Release/", quiet, busy);

    std::printf("\nRelease to the view window's last damage, real program, timed from outside "
                "(ms)\n");
    printDrags("Outside/", quiet, busy);

    std::printf("\nRefresh beside its floor, interleaved, headless (ms; cpu: all threads)\n");
    std::printf("  %-26s %9s %9s %7s %9s %9s %7s  %s\n", "figure", "refresh", "floor", "ratio",
                "cpu", "floor cpu", "ratio", "pixels");
    for (const auto& [name, refresh] : figures) {
        if (!name.starts_with("Refresh/"))
            continue;
        const std::string key = name.substr(8);
        const auto floor = figures.find("Floor/" + key);
        const bool both = floor != figures.end();
        // Both figures time their pairs, each one's own half: the ratios are theirs.
        const auto mean = [&](const char* counter) {
            return both ? (refresh.counter(counter) + floor->second.counter(counter)) / 2
                        : refresh.counter(counter);
        };
        std::printf("  %-26s %9.2f %9.2f %7.2f %9.2f %9.2f %7.2f  %s\n", key.c_str(), refresh.ms,
                    both ? floor->second.ms : 0.0, mean("ratio"), mean("refresh_cpu_ms"),
                    mean("floor_cpu_ms"), mean("cpu_ratio"),
                    refresh.counter("pixels_differ") == 0 ? "same" : "DIFFER");
    }

    double load[3] = {0, 0, 0};
    const int loads = getloadavg(load, 3);
    std::printf("\nGoals (load average now %.2f %.2f %.2f; quiet pass %.2f",
                loads > 0 ? load[0] : 0, loads > 1 ? load[1] : 0, loads > 2 ? load[2] : 0,
                quiet.load);
    if (busy.run)
        std::printf(", busy pass %.2f", busy.load);
    std::printf(")\n");
    for (const char* size : {"772x624", "3840x2160"})
        for (const char* view : {"spider", "forcefield", "graph"})
            printGoal("release", std::string("Release/") + view + "/" + size + "/50", quiet.figures,
                      kFrameMs, kReleaseP90Ms);
    const char* outside[] = {"spider/3840x2160/50", "forcefield/772x624/50",
                             "forcefield/3840x2160/50", "graph/3840x2160/50"};
    for (const char* name : outside)
        printGoal("outside", std::string("Outside/") + name, quiet.figures, kQuietFrameMs,
                  kQuietP90Ms);
    if (busy.run)
        for (const char* name : outside)
            printGoal("busy outside", std::string("Outside/") + name, busy.figures, kFrameMs,
                      kReleaseP90Ms);
    if (startUp.measured)
        std::printf("  start-up to the first window       %.2fx a bare window (<= %.2fx) %s\n",
                    startUp.ratio, kStartUpRatio, verdict(startUp.ratio <= kStartUpRatio));
    else
        std::printf("  start-up to the first window       not measured\n");
    if (memory.programMiB > 0 && memory.bareMiB > 0) {
        const double ratio = memory.programMiB / memory.bareMiB;
        std::printf("  peak memory, every view maximised  %.1f MiB, %.2fx the %.1f MiB of %d bare "
                    "windows (<= %.1fx) %s\n",
                    memory.programMiB, ratio, memory.bareMiB, memory.windows, kMemoryRatio,
                    verdict(ratio <= kMemoryRatio));
    } else {
        std::printf("  peak memory, every view maximised  not measured\n");
    }
    for (const char* view : {"spider", "forcefield", "graph"}) {
        const std::string name = std::string(view) + "/3840x2160/50";
        const auto refresh = figures.find("Refresh/" + name);
        const auto floor = figures.find("Floor/" + name);
        if (refresh == figures.end() || floor == figures.end()) {
            std::printf("  paint cpu %-22s not measured\n", name.c_str());
            continue;
        }
        const double ratio =
            (refresh->second.counter("cpu_ratio") + floor->second.counter("cpu_ratio")) / 2;
        std::printf("  paint cpu %-22s %.2fx the floor's (<= %.1fx) %s\n", name.c_str(), ratio,
                    kPaintCpuRatio, verdict(ratio <= kPaintCpuRatio));
    }
}

// Processes that keep a processor each busy at ordinary priority while the object lives: the
// busy machine of the benchmark. Each ends with this process too.
class BusyProcesses {
public:
    explicit BusyProcesses(int32_t count)
    {
        for (int32_t i = 0; i < count; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                prctl(PR_SET_PDEATHSIG, SIGKILL);
                volatile uint64_t n = 0;
                for (;;)
                    n = n + 1;
            }
            if (pid > 0)
                mPids.push_back(pid);
        }
    }
    ~BusyProcesses()
    {
        for (pid_t pid : mPids)
            kill(pid, SIGKILL);
        for (pid_t pid : mPids)
            waitpid(pid, nullptr, 0);
    }
    BusyProcesses(const BusyProcesses&) = delete;
    BusyProcesses& operator=(const BusyProcesses&) = delete;

private:
    std::vector<pid_t> mPids;
};

// The name of Google Benchmark's output file for a run: the run's name before the extension.
std::string runOutput(const std::string& arg, const std::string& run)
{
    const std::string flag = "--benchmark_out=";
    std::filesystem::path path(arg.substr(flag.size()));
    path.replace_filename(path.stem().string() + "-" + run + path.extension().string());
    return flag + path.string();
}

// Runs this program again for the cases of `run` ("headless" or a screen's size), on the
// server when there is one; adds the run's figures and returns whether it succeeded.
bool runAgain(const Options& o, const std::string& run,
              const platform::bench::VirtualXServer* server, const std::string& folder,
              Figures& figures)
{
    const std::string results = folder + "/figures-" + run;
    std::vector<std::string> args{"/proc/self/exe", "--screen=" + run, "--results=" + results,
                                  "--drags=" + std::to_string(o.drags)};
    if (o.quick)
        args.emplace_back("--quick");
    for (const std::string& arg : o.passOn)
        args.push_back(arg.starts_with("--benchmark_out=") ? runOutput(arg, run) : arg);
    std::printf("\nRun %s%s%s\n", run.c_str(), server ? " on X display " : "",
                server ? server->display().c_str() : "");
    std::fflush(stdout);
    const int status =
        server ? server->run(args) : platform::bench::runProgram(args, std::string());
    readFigures(results, figures);
    if (status != 0)
        std::fprintf(stderr, "kestrix_bench: the run %s failed\n", run.c_str());
    return status == 0;
}

// The real program's drags on the screen's server, timed from outside it.
bool timeFromOutside(const Options& o, const Screen& s,
                     const platform::bench::VirtualXServer& server, const std::string& folder,
                     Figures& figures)
{
    std::printf("\nDrags of the real program on X display %s, release to the window's damage\n",
                server.display().c_str());
    std::fflush(stdout);
    std::vector<OutsideFigure> outside;
    // A drag there and one back, briefly.
    const bool ok =
        TimeDragsFromOutside(server.display(), s.width, o.quick ? 2 : o.drags, folder, outside);
    for (const OutsideFigure& f : outside)
        figures[f.name] = {f.medianMs,
                           {{"median_ms", f.medianMs},
                            {"p90_ms", f.p90Ms},
                            {"window_w", f.windowWidth},
                            {"window_h", f.windowHeight},
                            {"drags", f.drags}}};
    return ok;
}

// Each screen's run on a server of its own: the drags in the program and from outside it, and
// the memory once on the larger screen. Returns whether every case ran.
bool runScreens(const Options& o, const std::string& folder, Pass& pass, MemoryFigure* memory)
{
    bool ok = true;
    for (const Screen& s : kScreens) {
        platform::bench::VirtualXServer server(s.width, s.height, true);
        if (!server.running()) {
            std::fprintf(stderr, "kestrix_bench: %s\n", server.error().c_str());
            ok = false;
            continue;
        }
        const std::string size = std::to_string(s.width) + "x" + std::to_string(s.height);
        ok = runAgain(o, size, &server, folder, pass.figures) && ok;
        ok = timeFromOutside(o, s, server, folder, pass.figures) && ok;
        if (memory && s.width >= 3840) {
            std::printf("\nMemory on X display %s\n", server.display().c_str());
            ok = MeasureMemory(server.display(), folder, *memory) && ok;
        }
    }
    pass.load = loadAverage();
    pass.run = true;
    return ok;
}

// The whole benchmark: the start-up, the headless run, then the screens' runs, beside busy
// processes once more when asked.
int runAll(const Options& o, const std::string& folder)
{
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    bool failed = false;
    const StartUp startUp = timeStartUp(o.startups);
    failed = failed || !startUp.measured;

    Figures figures;
    failed = !runAgain(o, "headless", nullptr, folder, figures) || failed;
    Pass quiet;
    MemoryFigure memory;
    failed = !runScreens(o, folder, quiet, &memory) || failed;
    Pass busy;
    if (o.busy > 0) {
        std::printf("\nThe drags again beside %d busy processes\n", o.busy);
        std::fflush(stdout);
        BusyProcesses processes(o.busy);
        failed = !runScreens(o, folder, busy, nullptr) || failed;
    }
    for (const auto& [name, f] : quiet.figures)
        figures[name] = f;
    printSummary(figures, quiet, busy, startUp, memory);
    return failed ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parseOptions(argc, argv);
    // Preferences and data files go to a folder of the run's own, never the user's.
    std::string folder = (std::filesystem::temp_directory_path() / "kestrix-bench-XXXXXX").string();
    if (!mkdtemp(folder.data())) {
        std::perror("kestrix_bench: temporary folder");
        return 1;
    }
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    const int status = options.headless || options.screen.width > 0
                           ? runCases(options, argc, argv, folder)
                           : runAll(options, folder);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return status;
}
