// Measures what a year of history costs the list of days: a journal of 365
// days of 150 customers each is written, then `restaurant days`, the web
// till's GET /api/days and `restaurant verify` are timed on it. The list
// reads each closed day's line from its close; verify re-hashes every
// record and checks every day's signed head. What signing a head at a close
// costs is timed too.
//
//   history_benchmark PROGRAM FOLDER [DAYS [CUSTOMERS]]
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "testing/YearJournal.h"

#include "bench/LoopbackDevice.h"
#include "bench/ServedDay.h"
#include "bench/Timing.h"
#include "journal/SigningKey.h"

namespace {

// Runs the command `runs` times; returns the times, the shortest first.
std::vector<double> secondsOf(const std::string& command, int runs) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto began = Clock::now();
        if (std::system((command + " > /dev/null").c_str()) != 0) {
            std::cerr << "history_benchmark: " << command << " failed" << std::endl;
        }
        times.push_back(micros(Clock::now() - began) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times;
}

// The web till on the journal: how long it takes to start, and GET /api/days.
void overHttp(const std::string& path) {
    const auto began = Clock::now();
    ServedDay served(path);
    const double started = micros(Clock::now() - began) / 1000;
    LoopbackDevice device(served.port());
    std::vector<double> samples;
    for (int read = 0; read < 200; ++read) {
        const auto asked = Clock::now();
        device.get("/api/days");
        samples.push_back(micros(Clock::now() - asked));
    }
    const Figures days = figuresOf(samples, 1);
    std::cout << std::fixed << std::setprecision(2) << "  the web till starts in " << started
              << " ms; GET /api/days: p50 " << days.p50 / 1000 << " ms, p99 " << days.p99 / 1000
              << " ms (goal: at most 30 ms)\n";
}

// The cost a close pays for its signature: one Ed25519 signature of the
// day's head.
void signing(const std::string& keyFile) {
    const SigningKey key = SigningKey::at(keyFile);
    const std::string head(8 + 8 + 32 + 19, 'h');
    std::vector<double> samples;
    volatile unsigned char kept = 0;
    for (int sign = 0; sign < 1000; ++sign) {
        const auto began = Clock::now();
        kept = key.sign(head)[0];
        samples.push_back(micros(Clock::now() - began));
    }
    (void)kept;
    const Figures figures = figuresOf(samples, 1);
    std::cout << std::fixed << std::setprecision(1) << "  signing a day's head at its close: p50 "
              << figures.p50 << " µs, p99 " << figures.p99 << " µs\n";
}

void measure(const std::string& program, const std::string& folder, int days, int customers) {
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/year.db";
    const auto began = Clock::now();
    writeYear(path, days, customers);
    std::cout << std::fixed << std::setprecision(3) << "A journal of " << days << " days of "
              << customers << " customers, written in " << micros(Clock::now() - began) / 1e6
              << " s, " << std::filesystem::file_size(path) / 1024 << " KiB:\n";
    const std::string on = " --journal " + path;
    const std::vector<double> listed = secondsOf(program + " days" + on, 5);
    std::cout << "  restaurant days: " << listed.front() << " s at best, " << listed[2]
              << " s the median of 5 (goal: at most 0.15 s)\n";
    std::cout << "  restaurant verify: " << secondsOf(program + " verify" + on, 1).front()
              << " s, every record of every day re-hashed, every day's signature checked\n";
    overHttp(path);
    signing(path + ".key");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: history_benchmark PROGRAM FOLDER [DAYS [CUSTOMERS]]" << std::endl;
        return 2;
    }
    try {
        measure(argv[1], argv[2], argc > 3 ? std::stoi(argv[3]) : 365,
                argc > 4 ? std::stoi(argv[4]) : 150);
    } catch (const std::exception& failure) {
        std::cerr << "history_benchmark: " << failure.what() << std::endl;
        return 1;
    }
    return 0;
}
