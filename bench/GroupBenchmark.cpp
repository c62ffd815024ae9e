// Measures the restaurant group's head office: a site's year is written
// and shipped to a PostgreSQL of the benchmark's own, timing the records
// shipped per second and the database's size per site-year; then the
// year's figures of the other sites are put beside it, as their ships would
// put them, and the year's group report is timed.
//
//   group_benchmark PROGRAM FOLDER [DAYS [CUSTOMERS [SITES]]]
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "group/ShippedFigures.h"
#include "testing/ScratchPostgres.h"
#include "testing/YearJournal.h"

#include "bench/Timing.h"
#include "journal/CentralStore.h"
#include "journal/ChainedDays.h"

namespace {

// Runs the command; returns how long it took, in seconds.
double secondsOf(const std::string& command) {
    const auto began = Clock::now();
    if (std::system((command + " > /dev/null").c_str()) != 0) {
        throw std::runtime_error(command + " failed");
    }
    return micros(Clock::now() - began) / 1e6;
}

// The other sites' days, each the shipped site's day under another name,
// as a ship puts a day's figures.
void putOtherSites(CentralStore& store, const std::string& journal, int sites) {
    ChainedDays days(journal);
    for (const ChainedDays::Head& head : days.heads()) {
        const DayRecord record = days.day(head.number).record;
        for (int site = 2; site <= sites; ++site) {
            const std::string name = "site-" + std::to_string(site);
            (void)store.put({name,
                             head.number,
                             0,
                             {},
                             head.head,
                             ShippedFigures::of(name, record),
                             std::nullopt});
        }
    }
}

void reportTimes(const std::string& program, const std::string& url) {
    const std::string report = program + " group report --from '" + url + "' --format ";
    for (const char* format : {"text", "csv", "json"}) {
        std::vector<double> times;
        times.reserve(3);
        for (int run = 0; run < 3; ++run) {
            times.push_back(secondsOf(report + format));
        }
        std::sort(times.begin(), times.end());
        std::cout << "  the year's group report as " << format << ": " << times[1]
                  << " s the median of 3 (goal: at most 2 s)\n";
    }
}

void measure(const std::string& program, const std::string& folder, int days, int customers,
             int sites) {
    std::filesystem::create_directories(folder);
    const std::string journal = folder + "/site.db";
    writeYear(journal, days, customers);
    SqliteJournal(journal, SqliteJournal::Access::till).putSetting("site", "site-1");
    const ScratchPostgres server;
    const std::string url = server.database("group");
    CentralStore store(url);
    store.init();
    const std::int64_t empty = store.size();
    std::int64_t records = 0;
    for (const ChainedDays::Head& head : ChainedDays(journal).heads()) {
        records += head.records;
    }
    const double shipped = secondsOf(program + " ship --to '" + url + "' --journal " + journal);
    const double perYear = static_cast<double>(store.size() - empty) * 365 / days;
    std::cout << std::fixed << std::setprecision(3) << "A site of " << days << " days of "
              << customers << " customers, " << records
              << " records:\n  restaurant ship: " << shipped << " s, "
              << static_cast<long long>(static_cast<double>(records) / shipped)
              << " records/s\n  the head office's database: " << perYear / 1048576
              << " MiB per site-year\n";
    putOtherSites(store, journal, sites);
    std::cout << sites << " sites of " << days << " days:\n";
    reportTimes(program, url);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: group_benchmark PROGRAM FOLDER [DAYS [CUSTOMERS [SITES]]]"
                  << std::endl;
        return 2;
    }
    try {
        measure(argv[1], argv[2], argc > 3 ? std::stoi(argv[3]) : 365,
                argc > 4 ? std::stoi(argv[4]) : 300, argc > 5 ? std::stoi(argv[5]) : 20);
    } catch (const std::exception& failure) {
        std::cerr << "group_benchmark: " << failure.what() << std::endl;
        return 1;
    }
    return 0;
}
