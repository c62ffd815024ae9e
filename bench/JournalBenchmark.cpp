// What keeping the day in the journal costs: resuming a day of N customers
// and reporting it, which must grow linearly, and one durable command beside
// a bare fsync of a file on the same disk, measured in the same run.
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "testing/CoutRedirect.h"
#include "testing/DiscardBuffer.h"
#include "testing/FaultyVfs.h"

#include "console/Console.h"
#include "journal/SqliteJournal.h"
#include "menu/Menu.h"
#include "reports/ReadCommands.h"

namespace {

namespace fs = std::filesystem;

const fs::path folder = fs::temp_directory_path() / "restaurant-journal-benchmark";

// A journal whose open day holds `customers` paid customers of six items
// each (two of every kind), built once per size with syncs skipped.
std::string journalOf(benchmark::IterationCount customers) {
    std::string path = (folder / ("day-of-" + std::to_string(customers) + ".db")).string();
    if (fs::exists(path)) {
        return path;
    }
    fs::create_directories(folder);
    FaultyVfs::skipSyncs(true);
    {
        SqliteJournal journal(path, SqliteJournal::Access::till, FaultyVfs::name());
        Console console(builtinMenu(), journal);
        DiscardBuffer discard;
        CoutRedirect silence(&discard);
        console.start();
        for (benchmark::IterationCount customer = 0; customer < customers; ++customer) {
            console.handle("add 2 dish 1");
            console.handle("add 2 snack 2");
            console.handle("add 2 drink 3");
            console.handle("next");
        }
    }
    FaultyVfs::skipSyncs(false);
    return path;
}

void perCustomer(benchmark::State& state) {
    state.SetComplexityN(state.range(0));
    state.counters["customers"] = static_cast<double>(state.range(0));
}

void ResumeDay(benchmark::State& state) {
    const std::string path = journalOf(state.range(0));
    DiscardBuffer discard;
    CoutRedirect silence(&discard);
    for (auto _ : state) {
        SqliteJournal journal(path, SqliteJournal::Access::till);
        Console console(builtinMenu(), journal);
        console.start();
    }
    perCustomer(state);
}

void ReportDay(benchmark::State& state) {
    const std::string path = journalOf(state.range(0));
    DiscardBuffer discard;
    CoutRedirect silence(&discard);
    for (auto _ : state) {
        SqliteJournal journal(path, SqliteJournal::Access::reading);
        benchmark::DoNotOptimize(reportDay(journal, 1));
    }
    perCustomer(state);
}

// One acknowledged command: a commit synced to the disk. Adding and removing
// in turn keeps the cart the same size.
void DurableCommand(benchmark::State& state) {
    fs::create_directories(folder);
    const std::string path = (folder / "durable.db").string();
    fs::remove(path);
    SqliteJournal journal(path, SqliteJournal::Access::till);
    Console console(builtinMenu(), journal);
    DiscardBuffer discard;
    CoutRedirect silence(&discard);
    console.start();
    bool adding = true;
    for (auto _ : state) {
        console.handle(adding ? "add dish 1" : "remove dish 1");
        adding = !adding;
    }
}

// The floor: a small write and an fsync of a file in the same folder.
void BareFsync(benchmark::State& state) {
    fs::create_directories(folder);
    const std::string path = (folder / "fsync.bin").string();
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const char record[100] = {};
    for (auto _ : state) {
        benchmark::DoNotOptimize(pwrite(file, record, sizeof record, 0));
        benchmark::DoNotOptimize(fsync(file));
    }
    close(file);
}

}  // namespace

BENCHMARK(ResumeDay)
    ->RangeMultiplier(10)
    ->Range(1, 10000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ReportDay)
    ->RangeMultiplier(10)
    ->Range(1, 10000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(DurableCommand)->Unit(benchmark::kMicrosecond);
BENCHMARK(BareFsync)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
