// Writing and reading the data file of the benchmark document: the format alone, and the
// whole of Save and Open's work on the file (the text and the bytes on disk). Two files show
// what Open costs at the edges: a gigabyte of zeros named like a data file, which must be
// refused from its first line, and a valid document of about a hundred megabytes, which must
// take memory on the order of its size. Their peak memory is measured in a child process.

#include "bench/bench_benchmarks.h"
#include "bench/bench_document.h"

#include "app/DataFile.h"
#include "app/frmMain.h"

#include "platform/files.h"

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

namespace {

constexpr uint64_t kGigabyte = uint64_t{1} << 30;
constexpr double kMegabyte = 1024.0 * 1024.0;
// Each player's key message in the large document.
constexpr size_t kKeyMsgBytes = 2 * 1024 * 1024;

DataFileContents contentsOf(frmMain& w)
{
    LoadBenchDocument(w);
    return MakeDataFileContents(w.HasDB, w.NumPlayer, w.Player, w.Links, w.AveColour);
}

void failed(benchmark::State& state, const char* what)
{
    state.SkipWithError(what);
}

// Open's work on a file: the regular file opened, then read into a document or refused.
std::optional<DataFileContents> readFromDisk(const platform::File& file, bool& opened)
{
    std::optional<platform::TextInputStream> in = platform::TextInputStream::open(file);
    opened = in.has_value();
    if (!in)
        return std::nullopt;
    return ReadDataFile(*in).contents;
}

// A figure of /proc/self/status in kB ("VmHWM:", "VmRSS:"), or -1.
long statusKb(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == key) {
            long kb = -1;
            status >> kb;
            return kb;
        }
    }
    return -1;
}

struct PeakMemory {
    double peakMB = 0;   ///< the highest resident size while `work` ran
    double growthMB = 0; ///< that peak less the resident size before it
};

// Runs `work` once in a child process, whose peak resident size starts from what it holds
// when it is made, and returns the peak that `work` reached.
std::optional<PeakMemory> peakMemoryOf(const std::function<void()>& work)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(fds[0]);
        // Memory the heap holds free would hide what `work` takes: it goes back first. Then
        // "5" resets the peak to the present resident size.
        ::malloc_trim(0);
        {
            std::ofstream("/proc/self/clear_refs") << "5";
        }
        long kb[2] = {statusKb("VmRSS:"), 0};
        work();
        kb[1] = statusKb("VmHWM:");
        const bool sent = ::write(fds[1], kb, sizeof kb) == static_cast<ssize_t>(sizeof kb);
        ::_exit(sent ? 0 : 1);
    }
    ::close(fds[1]);
    long kb[2] = {-1, -1};
    const bool received = ::read(fds[0], kb, sizeof kb) == static_cast<ssize_t>(sizeof kb);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!received || kb[0] < 0 || kb[1] < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return PeakMemory{kb[1] / 1024.0, (kb[1] - kb[0]) / 1024.0};
}

void reportPeak(benchmark::State& state, const std::function<void()>& work, double fileMB)
{
    if (const std::optional<PeakMemory> peak = peakMemoryOf(work)) {
        state.counters["peak_MB"] = peak->peakMB;
        state.counters["growth_MB"] = peak->growthMB;
        state.counters["file_MB"] = fileMB;
        state.counters["growth_per_file"] = peak->growthMB / fileMB;
    }
}

} // namespace

void RegisterDataFileBenchmarks(frmMain& w, const std::string& folder)
{
    benchmark::RegisterBenchmark("DataFile/Write", [&w](benchmark::State& state) {
        const DataFileContents contents = contentsOf(w);
        for (auto _ : state)
            benchmark::DoNotOptimize(WriteDataFile(contents));
    })->Unit(benchmark::kMicrosecond);

    benchmark::RegisterBenchmark("DataFile/Read", [&w](benchmark::State& state) {
        const std::string text = WriteDataFile(contentsOf(w));
        for (auto _ : state)
            benchmark::DoNotOptimize(ReadDataFile(text));
    })->Unit(benchmark::kMicrosecond);

    const platform::File file(folder + "/Kestrix.dat");
    benchmark::RegisterBenchmark("DataFile/WriteToDisk", [&w, file](benchmark::State& state) {
        const DataFileContents contents = contentsOf(w);
        for (auto _ : state)
            if (!file.writeAll(WriteDataFile(contents)))
                return failed(state, "the data file could not be written");
    })->Unit(benchmark::kMicrosecond);

    benchmark::RegisterBenchmark("DataFile/ReadFromDisk", [&w, file](benchmark::State& state) {
        if (!file.writeAll(WriteDataFile(contentsOf(w))))
            return failed(state, "the data file could not be written");
        for (auto _ : state) {
            bool opened = false;
            if (!readFromDisk(file, opened))
                return failed(state, "the data file could not be read");
        }
    })->Unit(benchmark::kMicrosecond);

    // A gigabyte of zeros that takes no room on disk: Open refuses it from its first line.
    const platform::File zeros(folder + "/wrong.dat");
    benchmark::RegisterBenchmark("DataFile/RefuseGigabyteOfZeros", [zeros](
                                                                       benchmark::State& state) {
        std::error_code ec;
        std::ofstream(zeros.absolutePath(), std::ios::trunc).close();
        std::filesystem::resize_file(zeros.absolutePath(), kGigabyte, ec);
        if (ec)
            return failed(state, "the file of zeros could not be made");
        bool opened = false;
        for (auto _ : state)
            if (readFromDisk(zeros, opened) || !opened)
                return failed(state, "the file of zeros was not refused by its first line");
        reportPeak(
            state,
            [zeros] {
                bool opened = false;
                benchmark::DoNotOptimize(readFromDisk(zeros, opened));
            },
            kGigabyte / kMegabyte);
        std::filesystem::remove(zeros.absolutePath(), ec);
    })->Unit(benchmark::kMicrosecond);

    // The benchmark document with a long key message for every player.
    const platform::File large(folder + "/large.dat");
    benchmark::RegisterBenchmark("DataFile/ReadLargeDocument", [&w,
                                                                large](benchmark::State& state) {
        double fileMB = 0;
        {
            DataFileContents contents = contentsOf(w);
            for (size_t i = 1; i < contents.players.size(); ++i)
                contents.players[i].KeyMsg.assign(kKeyMsgBytes, static_cast<char>('a' + i % 26));
            const std::string text = WriteDataFile(contents);
            if (!large.writeAll(text))
                return failed(state, "the large document could not be written");
            fileMB = static_cast<double>(text.size()) / kMegabyte;
        }
        for (auto _ : state) {
            bool opened = false;
            if (!readFromDisk(large, opened))
                return failed(state, "the large document could not be read");
        }
        reportPeak(
            state,
            [large] {
                bool opened = false;
                benchmark::DoNotOptimize(readFromDisk(large, opened));
            },
            fileMB);
        std::error_code ec;
        std::filesystem::remove(large.absolutePath(), ec);
    })->Unit(benchmark::kMillisecond);
}
