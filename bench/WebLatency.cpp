// Measures the web till against the console, both as the program runs them
// on a journal on disk: one durable command over HTTP on loopback (p50 and
// p99) beside the same command typed at the console, the time from a change
// to another device's event, and the server's memory with 200 open event
// streams.
//
//   web_latency PROGRAM FOLDER [COMMANDS]
#include <algorithm>
#include <boost/asio/ip/tcp.hpp>
#include <chrono>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/LoopbackDevice.h"
#include "tests/ChildProcess.h"

namespace {

using boost::asio::ip::tcp;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

double micros(Clock::duration duration) {
    return std::chrono::duration<double, std::micro>(duration).count();
}

void report(const char* what, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double share) {
        return samples[std::min(
            samples.size() - 1,
            static_cast<std::size_t>(share * static_cast<double>(samples.size())))];
    };
    std::cout << what << ": p50 " << static_cast<long>(at(0.5)) << " us, p99 "
              << static_cast<long>(at(0.99)) << " us over " << samples.size() << std::endl;
}

long residentKiB(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

unsigned short portOf(ChildProcess& server) {
    std::string line;
    server.readLine(line, milliseconds(20000));
    const std::size_t at = line.find("127.0.0.1:") + 10;
    return static_cast<unsigned short>(std::stoi(line.substr(at, line.find('/', at) - at)));
}

void overHttp(const std::string& program, const std::string& folder, int commands) {
    ChildProcess server(
        {program, "serve", "--listen", "127.0.0.1:0", "--journal", folder + "/web.db"});
    const unsigned short port = portOf(server);
    tcp::iostream listener("127.0.0.1", std::to_string(port));
    listener << "GET /api/events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n" << std::flush;
    for (std::string line; std::getline(listener, line) && line != "retry: 1000";) {
    }
    LoopbackDevice device(port);
    std::vector<double> latency;
    std::vector<double> toEvent;
    for (int at = 0; at < commands; ++at) {
        const auto sent = Clock::now();
        if (device.command("5", at) != 200) {
            std::cerr << "web_latency: a command was refused" << std::endl;
            return;
        }
        latency.push_back(micros(Clock::now() - sent));
        for (std::string line; std::getline(listener, line) && line.rfind("data: ", 0) != 0;) {
        }
        toEvent.push_back(micros(Clock::now() - sent));
    }
    report("One command over HTTP on loopback", latency);
    report("From sending a change to another device's event", toEvent);
    const long before = residentKiB(server.processId());
    std::vector<std::unique_ptr<tcp::iostream>> streams;
    for (int stream = 0; stream < 200; ++stream) {
        streams.push_back(std::make_unique<tcp::iostream>());
        LoopbackDevice::connect(*streams.back(), port, stream);
        *streams.back() << "GET /api/events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n" << std::flush;
        for (std::string line; std::getline(*streams.back(), line) && line != "retry: 1000";) {
        }
    }
    const long after = residentKiB(server.processId());
    std::cout << "Server memory: " << before << " KiB, " << after
              << " KiB with 200 more event streams (" << (after - before) * 1024 / 200
              << " bytes each)" << std::endl;
}

void atTheConsole(const std::string& program, const std::string& folder, int commands) {
    ChildProcess till({program, "--journal", folder + "/console.db"});
    till.type("table 5\n");
    std::string line;
    till.readLine(line, milliseconds(20000));
    std::vector<double> latency;
    for (int at = 0; at < commands; ++at) {
        const auto sent = Clock::now();
        till.type(at % 2 == 0 ? "add drink 1\n" : "remove drink 1\n");
        till.readLine(line, milliseconds(20000));
        latency.push_back(micros(Clock::now() - sent));
    }
    report("The same command at the console", latency);
    till.kill();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: web_latency PROGRAM FOLDER [COMMANDS]" << std::endl;
        return 2;
    }
    const int commands = argc > 3 ? std::stoi(argv[3]) : 1000;
    overHttp(argv[1], argv[2], commands);
    atTheConsole(argv[1], argv[2], commands);
    return 0;
}
