// Writing and reading the data file of the benchmark document: the format alone, and the
// whole of Save and Open's work on the file (the text and the bytes on disk).

#include "bench/bench_benchmarks.h"
#include "bench/bench_document.h"

#include "app/DataFile.h"
#include "app/frmMain.h"

#include "platform/files.h"

#include <benchmark/benchmark.h>

#include <optional>
#include <string>

namespace {

DataFileContents contentsOf(frmMain& w)
{
    LoadBenchDocument(w);
    return MakeDataFileContents(w.HasDB, w.NumPlayer, w.Player, w.Links, w.AveColour);
}

void failed(benchmark::State& state, const char* what)
{
    state.SkipWithError(what);
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
            const std::optional<std::string> bytes = file.readAll();
            if (!bytes)
                return failed(state, "the data file could not be read");
            benchmark::DoNotOptimize(ReadDataFile(*bytes));
        }
    })->Unit(benchmark::kMicrosecond);
}
