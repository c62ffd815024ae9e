// What the day's service costs as a day grows: a command on one of many
// open orders against one on a single order; an add and a remove after many
// removals from the same order; resuming a day of many paid customers and
// 200 open tables. Each should cost the same however large the rest is.
#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>

#include "testing/FaultyVfs.h"

#include "journal/MemoryJournal.h"
#include "journal/SqliteJournal.h"
#include "menu/Menu.h"
#include "service/DayService.h"

namespace {

namespace fs = std::filesystem;

const fs::path folder = fs::temp_directory_path() / "restaurant-service-benchmark";

ItemChoice number(std::int64_t at) { return ItemChoice{at, ""}; }

// An add and a remove on table 0, with `range(0)` tables open.
void CommandAmongOpenOrders(benchmark::State& state) {
    MemoryJournal journal;
    DayService service(builtinMenu(), journal);
    service.start();
    for (std::int64_t table = 0; table < state.range(0); ++table) {
        service.add(std::to_string(table), ItemKind::drink, number(1), 1);
    }
    for (auto _ : state) {
        service.add("0", ItemKind::dish, number(1), 1);
        service.remove("0", ItemRef{ItemKind::dish, number(1), ""});
    }
    state.counters["open orders"] = static_cast<double>(state.range(0));
}

// An add and a remove on the counter's order after `range(0)` such pairs,
// kept in a journal file (its syncs skipped, to time the work alone).
void RemoveAfterManyRemovals(benchmark::State& state) {
    fs::create_directories(folder);
    const std::string path = (folder / "removals.db").string();
    fs::remove(path);
    fs::remove(path + "-head");
    FaultyVfs::skipSyncs(true);
    {
        SqliteJournal journal(path, SqliteJournal::Access::till, FaultyVfs::name());
        DayService service(builtinMenu(), journal);
        service.start();
        service.add("", ItemKind::drink, number(1), 1);
        for (std::int64_t pair = 0; pair < state.range(0); ++pair) {
            service.add("", ItemKind::dish, number(1), 1);
            service.remove("", ItemRef{ItemKind::dish, number(1), ""});
        }
        for (auto _ : state) {
            service.add("", ItemKind::dish, number(1), 1);
            service.remove("", ItemRef{ItemKind::dish, number(1), ""});
        }
    }
    FaultyVfs::skipSyncs(false);
    state.counters["pairs before"] = static_cast<double>(state.range(0));
}

// A journal whose open day holds `customers` paid customers of six items
// and 200 tables with two items each, built once per size.
std::string dayWithTables(std::int64_t customers) {
    std::string path = (folder / ("tables-" + std::to_string(customers) + ".db")).string();
    if (fs::exists(path)) {
        return path;
    }
    fs::create_directories(folder);
    FaultyVfs::skipSyncs(true);
    {
        SqliteJournal journal(path, SqliteJournal::Access::till, FaultyVfs::name());
        DayService service(builtinMenu(), journal);
        service.start();
        for (std::int64_t customer = 0; customer < customers; ++customer) {
            for (ItemKind kind : itemKinds) {
                service.add("", kind, number(2), 2);
            }
            service.pay("");
        }
        for (int table = 0; table < 200; ++table) {
            service.add("t" + std::to_string(table), ItemKind::dish, number(3), 2);
        }
    }
    FaultyVfs::skipSyncs(false);
    return path;
}

void ResumeDayWithOpenTables(benchmark::State& state) {
    const std::string path = dayWithTables(state.range(0));
    for (auto _ : state) {
        SqliteJournal journal(path, SqliteJournal::Access::till);
        DayService service(builtinMenu(), journal);
        benchmark::DoNotOptimize(service.start());
    }
    state.SetComplexityN(state.range(0));
    state.counters["customers"] = static_cast<double>(state.range(0));
}

}  // namespace

BENCHMARK(CommandAmongOpenOrders)->Arg(1)->Arg(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(RemoveAfterManyRemovals)->Arg(0)->Arg(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(ResumeDayWithOpenTables)
    ->RangeMultiplier(10)
    ->Range(100, 10000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
