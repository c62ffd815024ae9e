// Time and allocations of the lists' sums, displays and copies, and of the
// day's totals and report, beside a direct sum over plain vectors.
#include <benchmark/benchmark.h>
#include <cstddef>
#include <iostream>
#include <string>
#include <vector>

#include "testing/AllocationCounter.h"
#include "testing/CoutRedirect.h"
#include "testing/DiscardBuffer.h"

#include "bench/BenchmarkDay.h"

namespace {

constexpr int itemsPerKind = 2;

// Counts the allocations of the timed loop only, per iteration.
class AllocationsPerIteration {
public:
    AllocationsPerIteration() : before(AllocationCounter::made()) {}
    void report(benchmark::State& state) const {
        state.counters["allocs"] =
            benchmark::Counter(static_cast<double>(AllocationCounter::made() - before),
                               benchmark::Counter::kAvgIterations);
    }

private:
    std::size_t before;
};

Drinklist drinksOf(benchmark::IterationCount count) {
    Drinklist list;
    for (benchmark::IterationCount at = 0; at < count; ++at) {
        list.addDrink(Drink("Orange juice", 3.0, 1.0));
    }
    return list;
}

// Times `operation` on `subject`, with output discarded and allocations
// counted per iteration.
template <typename Subject, typename Operation>
void timeOn(benchmark::State& state, Subject& subject, Operation operation) {
    DiscardBuffer discard;
    CoutRedirect silence(&discard);
    AllocationsPerIteration allocations;
    for (auto _ : state) {
        operation(subject);
    }
    allocations.report(state);
    state.SetComplexityN(state.range(0));
}

// Times `operation` over a list of state.range(0) drinks.
template <typename Operation>
void onList(benchmark::State& state, Operation operation) {
    Drinklist list = drinksOf(state.range(0));
    timeOn(state, list, operation);
    state.counters["items"] = static_cast<double>(state.range(0));
}

void perUser(benchmark::State& state) {
    state.SetComplexityN(state.range(0));
    state.counters["users"] = static_cast<double>(state.range(0));
    state.counters["ns_per_user"] = benchmark::Counter(
        static_cast<double>(state.range(0)),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Times `operation` over a day of state.range(0) users.
template <typename Operation>
void onDay(benchmark::State& state, Operation operation) {
    Usercollection day = benchmarkDay(static_cast<int>(state.range(0)), itemsPerKind);
    timeOn(state, day, operation);
    perUser(state);
}

void ListTotalPrice(benchmark::State& state) {
    onList(state, [](Drinklist& list) { benchmark::DoNotOptimize(list.totalPrice()); });
}

void ListTotalCost(benchmark::State& state) {
    onList(state, [](Drinklist& list) { benchmark::DoNotOptimize(list.totalCost()); });
}

void ListDisplayMenu(benchmark::State& state) {
    onList(state, [](Drinklist& list) { list.displayMenu(); });
}

void ListCopy(benchmark::State& state) {
    onList(state, [](Drinklist& list) {
        Drinklist copy(list);
        benchmark::DoNotOptimize(&copy);
    });
}

void DayTotalCost(benchmark::State& state) {
    onDay(state, [](Usercollection& day) { benchmark::DoNotOptimize(day.getTotalCost()); });
}

void DayReport(benchmark::State& state) {
    onDay(state, [](Usercollection& day) { day.displayFinancial(); });
}

// The same cost total, summed straight from plain vectors: the floor that
// the day's value semantics are measured against.
void DirectSumBaseline(benchmark::State& state) {
    const auto users = static_cast<std::size_t>(state.range(0));
    std::vector<std::vector<double>> costs(users);
    for (auto& cart : costs) {
        for (int item = 0; item < itemsPerKind; ++item) {
            cart.insert(cart.end(), {5.0 + 3.0, 1.5 + item + 2.0, 1.0 + 1.0});
        }
    }
    AllocationsPerIteration allocations;
    for (auto _ : state) {
        double total = 0.0;
        for (const auto& cart : costs) {
            double cartTotal = 0.0;
            for (double cost : cart) {
                cartTotal = cartTotal + cost;
            }
            total = total + cartTotal;
        }
        benchmark::DoNotOptimize(total);
    }
    allocations.report(state);
    perUser(state);
}

}  // namespace

BENCHMARK(ListTotalPrice)->RangeMultiplier(10)->Range(10, 100000)->Complexity(benchmark::oN);
BENCHMARK(ListTotalCost)->RangeMultiplier(10)->Range(10, 100000)->Complexity(benchmark::oN);
BENCHMARK(ListDisplayMenu)->RangeMultiplier(10)->Range(10, 10000)->Complexity(benchmark::oN);
BENCHMARK(ListCopy)->RangeMultiplier(10)->Range(10, 100000)->Complexity(benchmark::oN);
BENCHMARK(DayTotalCost)->RangeMultiplier(10)->Range(1, 100000)->Complexity(benchmark::oN);
BENCHMARK(DayReport)->RangeMultiplier(10)->Range(1, 100000)->Complexity(benchmark::oN);
BENCHMARK(DirectSumBaseline)->RangeMultiplier(10)->Range(1, 100000)->Complexity(benchmark::oN);

BENCHMARK_MAIN();
