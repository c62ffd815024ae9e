// Measures how long a device waits to read the open orders, alone and while
// sixteen devices write as fast as they can, each write answered once on
// disk: reads are served from the day's latest snapshot, so that they wait
// for no sync and for no lock held across one.
//
//   read_latency FOLDER [SECONDS]
#include <atomic>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/LoopbackDevice.h"
#include "bench/ServedDay.h"
#include "bench/Timing.h"
#include "journal/SqliteJournal.h"
#include "menu/Menu.h"
#include "service/DayService.h"

namespace {

constexpr int writers = 16;

// Reads the open orders as often as fits in the time.
Figures reading(unsigned short port, double seconds) {
    LoopbackDevice reader(port);
    std::vector<double> samples;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        const auto began = Clock::now();
        if (reader.get("/api/orders") != 200) {
            std::cerr << "read_latency: a read was refused" << std::endl;
        }
        samples.push_back(micros(Clock::now() - began));
    }
    return figuresOf(samples, seconds);
}

// Reads while the writers write; returns the reads, and the writes' rate.
std::pair<Figures, double> readingWhileWriting(unsigned short port, double seconds) {
    std::atomic<bool> going{true};
    std::atomic<long> written{0};
    std::vector<std::thread> devices;
    devices.reserve(writers);
    for (int device = 0; device < writers; ++device) {
        devices.emplace_back([&, device] {
            LoopbackDevice writer(port, device + 1);
            for (long at = 0; going; ++at) {
                written += writer.command("t" + std::to_string(device), at) == 200 ? 1 : 0;
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const long before = written;
    const Figures reads = reading(port, seconds);
    const double rate = static_cast<double>(written - before) / seconds;
    going = false;
    for (std::thread& device : devices) {
        device.join();
    }
    return {reads, rate};
}

void print(const char* what, const Figures& reads) {
    std::cout << std::fixed << std::setprecision(0) << "  " << what << ": p50 " << reads.p50
              << " us, p99 " << reads.p99 << " us, " << reads.perSecond << " reads/s\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: read_latency FOLDER [SECONDS]" << std::endl;
        return 2;
    }
    const std::string folder = argv[1];
    const double seconds = argc > 2 ? std::stod(argv[2]) : 3.0;
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/reads.db";
    std::filesystem::remove(path);
    ServedDay served(path);
    for (int table = 0; table < writers; ++table) {
        served.service().add("t" + std::to_string(table), ItemKind::dish, ItemChoice{1, ""}, 3);
    }
    const Figures alone = reading(served.port(), seconds);
    const auto [busy, rate] = readingWhileWriting(served.port(), seconds);
    std::cout << "GET /api/orders (" << writers << " open orders), " << seconds << " s each:\n";
    print("alone", alone);
    print(("while " + std::to_string(writers) + " devices write").c_str(), busy);
    std::cout << "  the writers: " << static_cast<long>(rate)
              << " durable commands/s\n  p99 while writing " << static_cast<long>(busy.p99)
              << " us (goal: at most 2000 us), " << static_cast<long>(busy.p99 - alone.p99)
              << " us above the p99 alone (goal: at most 1000 us)" << std::endl;
    return 0;
}
