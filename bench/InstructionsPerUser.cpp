// Runs one total over a fixed day with callgrind's instrumentation on only
// around the call, so bench/instructions-per-user.sh can print a figure that
// is the same on every machine and every run.
#include <iostream>
#include <valgrind/callgrind.h>

#include "bench/BenchmarkDay.h"

int main() {
    constexpr int users = 1000;
    Usercollection day = benchmarkDay(users, 2);
    CALLGRIND_ZERO_STATS;
    CALLGRIND_START_INSTRUMENTATION;
    const double total = day.getTotalCost();
    CALLGRIND_STOP_INSTRUMENTATION;
    std::cout << "users " << users << " total " << total << std::endl;
    return 0;
}
