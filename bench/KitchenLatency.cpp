// Measures the kitchen with sixteen devices working, each sending a table's
// new dish to the kitchen four times a second over HTTP on loopback: the
// time from a send to its ticket on the kitchen's screen (the screen's next
// read lists it) and to its bytes on a loopback printer, p50 and p99.
//
//   kitchen_latency FOLDER [SENDS-PER-DEVICE]
#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "kitchen/PrintRoom.h"

#include "bench/LoopbackDevice.h"
#include "bench/ServedDay.h"
#include "bench/Timing.h"
#include "tests/LoopbackPrinter.h"

namespace {

constexpr int devices = 16;

struct Sends {
    std::mutex mutex;
    std::map<std::int64_t, Clock::time_point> at;
    std::vector<double> shown;
};

bool listed(const std::string& answer, std::int64_t ticket) {
    const nlohmann::json open = nlohmann::json::parse(answer, nullptr, false);
    for (const nlohmann::json& one : open["tickets"]) {
        if (one["ticket"] == ticket) {
            return true;
        }
    }
    return false;
}

void work(unsigned short port, int device, int rounds, Sends& sends) {
    LoopbackDevice waiter(port, device);
    const std::string table = "/api/orders/b" + std::to_string(device);
    for (int round = 0; round < rounds; ++round) {
        waiter.post(table + "/items", R"({"kind":"dish","item":1})");
        const auto began = Clock::now();
        if (waiter.post(table + "/send", "{}") != 200) {
            std::cerr << "kitchen_latency: a send was refused: " << waiter.answer() << std::endl;
            continue;
        }
        const std::int64_t ticket =
            nlohmann::json::parse(waiter.answer())["tickets"][0]["ticket"].get<std::int64_t>();
        while (waiter.get("/api/tickets?station=kitchen") == 200 &&
               !listed(waiter.answer(), ticket)) {
        }
        const auto shown = Clock::now();
        {
            std::lock_guard<std::mutex> lock(sends.mutex);
            sends.at[ticket] = began;
            sends.shown.push_back(micros(shown - began));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
}

void report(const char* what, std::vector<double> samples) {
    const Figures figures = figuresOf(std::move(samples), 1);
    std::cout << what << ": p50 " << static_cast<long>(figures.p50 / 1000) << " ms, p99 "
              << static_cast<long>(figures.p99 / 1000) << " ms" << std::endl;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: kitchen_latency FOLDER [SENDS-PER-DEVICE]" << std::endl;
        return 2;
    }
    const int rounds = argc > 2 ? std::stoi(argv[2]) : 20;
    std::filesystem::create_directories(argv[1]);
    std::filesystem::remove(std::string(argv[1]) + "/journal.db");
    LoopbackPrinter printer;
    printer.start();
    Settings settings;
    settings.set("printer.kitchen", printer.address());
    ServedDay served(std::string(argv[1]) + "/journal.db", settings.printerStations());
    const PrintRoom room(served.service(), settings);
    Sends sends;
    std::vector<std::thread> working;
    working.reserve(devices);
    for (int device = 0; device < devices; ++device) {
        working.emplace_back(work, served.port(), device, rounds, std::ref(sends));
    }
    for (std::thread& one : working) {
        one.join();
    }
    const std::size_t expected = sends.at.size();
    const std::vector<PrintedTicket> printed = printer.tickets(expected, std::chrono::seconds(60));
    const auto came = printer.times();
    std::vector<double> onPaper;
    onPaper.reserve(printed.size());
    for (std::size_t at = 0; at < printed.size(); ++at) {
        const std::string& line = printed[at].lines.at(0);
        const std::int64_t ticket = std::stoll(line.substr(7, line.find(' ', 7) - 7));
        onPaper.push_back(micros(came[at] - sends.at[ticket]));
    }
    std::cout << "16 devices, " << expected << " sends, " << printed.size() << " printed"
              << std::endl;
    report("send to the kitchen's screen", sends.shown);
    report("send to the printer", onPaper);
    return printed.size() == expected ? 0 : 1;
}
