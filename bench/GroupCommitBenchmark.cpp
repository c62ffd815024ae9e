// Measures durable commands per second with 1, 4, 16 and 64 clients, each
// command acknowledged only once it is on disk: directly on the day's
// service, and over HTTP on loopback through the web till. Beside each row
// stands the limit of one fsync per command, measured just before it on the
// same disk: a small overwrite of a file, then fdatasync.
//
//   group_commit_benchmark FOLDER [SECONDS-PER-ROW [direct|http]]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <iomanip>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "bench/LoopbackDevice.h"
#include "bench/ServedDay.h"
#include "bench/Timing.h"
#include "journal/SqliteJournal.h"
#include "menu/Menu.h"
#include "service/DayService.h"

namespace {

namespace fs = std::filesystem;

// Disk is a file of 4 MiB already written, on which the floors are
// measured: each write is followed by fdatasync.
class Disk {
public:
    explicit Disk(const std::string& folder)
        : file(::open((folder + "/fsync.bin").c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC,
                      0600)) {
        const std::vector<char> filled(std::size_t{4} << 20, 'x');
        (void)!::pwrite(file, filled.data(), filled.size(), 0);
        ::fsync(file);
    }
    Disk(const Disk&) = delete;
    Disk& operator=(const Disk&) = delete;
    ~Disk() { ::close(file); }

    // The floor: 100 bytes overwritten at the start of the file.
    double bareFsync() {
        return synced([&] { (void)!::pwrite(file, bytes.data(), 100, 0); });
    }

    // What the journal's log must write for a change of two pages: two
    // frames of a 24-byte header and a 4,096-byte page, each after the
    // last, as SQLite writes them, the log overwritten in place.
    double twoLogFrames() {
        constexpr long header = 24;
        constexpr long page = 4096;
        const long start = 32 + (round++ % 400) * 2 * (header + page);
        return synced([&] {
            for (long frame = 0; frame < 2; ++frame) {
                const long at = start + frame * (header + page);
                (void)!::pwrite(file, bytes.data(), header, at);
                (void)!::pwrite(file, bytes.data(), page, at + header);
            }
        });
    }

private:
    double synced(const std::function<void()>& write) const {
        const auto began = Clock::now();
        write();
        ::fdatasync(file);
        return micros(Clock::now() - began);
    }

    int file;
    long round = 0;
    const std::vector<char> bytes = std::vector<char>(4096, 'y');
};

// The bare fsync as often as fits in the time.
Figures bareFsync(Disk& disk, double seconds) {
    std::vector<double> samples;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        samples.push_back(disk.bareFsync());
    }
    return figuresOf(samples, seconds);
}

// Runs `clients` threads, each calling `command` with its number and the
// count of its commands so far, for the time given; returns every
// command's latency.
Figures withClients(int clients, double seconds,
                    const std::function<bool(int client, long at)>& command) {
    std::vector<std::vector<double>> samples(static_cast<std::size_t>(clients));
    std::atomic<bool> going{true};
    std::atomic<long> failed{0};
    std::vector<std::thread> threads;
    threads.reserve(static_cast<std::size_t>(clients));
    for (int client = 0; client < clients; ++client) {
        threads.emplace_back([&, client] {
            auto& mine = samples[static_cast<std::size_t>(client)];
            for (long at = 0; going; ++at) {
                const auto began = Clock::now();
                if (!command(client, at)) {
                    ++failed;
                }
                mine.push_back(micros(Clock::now() - began));
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    going = false;
    for (std::thread& thread : threads) {
        thread.join();
    }
    if (failed > 0) {
        std::cerr << "group_commit_benchmark: " << failed << " commands were refused" << std::endl;
    }
    std::vector<double> all;
    for (const auto& mine : samples) {
        all.insert(all.end(), mine.begin(), mine.end());
    }
    return figuresOf(all, seconds);
}

// Each client adds a drink to its own table, then takes it off again, so
// that the orders stay small.
bool directCommand(DayService& service, int client, long at) {
    const std::string table = "t" + std::to_string(client);
    if (at % 2 == 0) {
        return service.add(table, ItemKind::drink, ItemChoice{1, ""}, 1).done();
    }
    return service.remove(table, ItemRef{ItemKind::drink, ItemChoice{1, ""}, ""}).done();
}

struct Row {
    int clients = 0;
    Figures commands;
    Figures fsync;
    double perBatch = 0;
};

// One client's commands, each beside a bare fsync and the log's two frames,
// so that all three meet the disk in the same state.
struct Alternated {
    Figures command;
    Figures fsync;
    Figures frames;
};

void printHead(const char* path) {
    std::cout << "\n"
              << path << "\n"
              << "clients  commands/s  x one  fsync-limit/s  mean us  p50 us  p99 us  fsync us"
                 "  mean/fsync  per batch\n";
}

void printRow(const Row& row, const Row& one) {
    std::cout << std::fixed << std::setprecision(2) << std::setw(7) << row.clients << std::setw(12)
              << static_cast<long>(row.commands.perSecond) << std::setw(7)
              << row.commands.perSecond / one.commands.perSecond << std::setw(15)
              << static_cast<long>(1e6 / row.fsync.mean) << std::setw(9)
              << static_cast<long>(row.commands.mean) << std::setw(8)
              << static_cast<long>(row.commands.p50) << std::setw(8)
              << static_cast<long>(row.commands.p99) << std::setw(10)
              << static_cast<long>(row.fsync.mean) << std::setw(12)
              << row.commands.mean / row.fsync.mean << std::setw(11) << row.perBatch << std::endl;
}

// The goals, each against the fsync measured beside its own row, and one
// command against the fsync and the log's writes measured in turn with it.
void printGoals(const std::vector<Row>& rows, const Alternated& alone) {
    const Row& one = rows.front();
    for (const Row& row : rows) {
        if (row.clients != 16) {
            continue;
        }
        const double bound = 3 * row.fsync.mean + 1000;
        std::cout << "  16 clients: " << row.commands.perSecond / one.commands.perSecond
                  << " x the one-client rate (goal: at least 5 x); p99 "
                  << static_cast<long>(row.commands.p99) << " us against three fsyncs plus 1 ms, "
                  << static_cast<long>(bound) << " us ("
                  << (row.commands.p99 <= bound ? "within" : "beyond")
                  << "; a bare fsync's own p99: " << static_cast<long>(row.fsync.p99) << " us)\n";
    }
    std::cout << "  one client, each command beside a bare fsync: "
              << static_cast<long>(alone.command.mean) << " us against "
              << static_cast<long>(alone.fsync.mean) << " us, "
              << alone.command.mean / alone.fsync.mean << " x on average, "
              << alone.command.p50 / alone.fsync.p50
              << " x at the median (goal: within 1.25 x); the log's two frames and their sync "
                 "alone: "
              << alone.frames.mean / alone.fsync.mean << " x" << std::endl;
}

using Command = std::function<bool(int client, long at)>;

Alternated alternate(Disk& disk, double seconds, const Command& command) {
    std::vector<double> commands;
    std::vector<double> fsyncs;
    std::vector<double> frames;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    for (long at = 0; Clock::now() < end; ++at) {
        fsyncs.push_back(disk.bareFsync());
        const auto began = Clock::now();
        command(0, at);
        commands.push_back(micros(Clock::now() - began));
        frames.push_back(disk.twoLogFrames());
    }
    return {figuresOf(commands, seconds), figuresOf(fsyncs, seconds), figuresOf(frames, seconds)};
}

// Measures each number of clients, the fsync before and after each.
std::vector<Row> measure(Disk& disk, double seconds, DayService& service,
                         const std::function<Command(int clients)>& commandFor) {
    std::vector<Row> rows;
    for (int clients : {1, 4, 16, 64}) {
        Row row;
        row.clients = clients;
        const Figures before = bareFsync(disk, seconds / 8);
        const Command command = commandFor(clients);
        const std::size_t batchesBefore = service.batches();
        row.commands = withClients(clients, seconds, command);
        const auto batches = static_cast<double>(service.batches() - batchesBefore);
        row.perBatch = batches > 0 ? row.commands.perSecond * seconds / batches : 0;
        const Figures after = bareFsync(disk, seconds / 8);
        row.fsync.mean = (before.mean + after.mean) / 2;
        row.fsync.p50 = (before.p50 + after.p50) / 2;
        row.fsync.p99 = std::max(before.p99, after.p99);
        rows.push_back(row);
    }
    return rows;
}

// Measures a journal just started: no warm-up, as a restaurant's morning.
void report(const char* path, const std::string& folder, double seconds, DayService& service,
            const std::function<Command(int clients)>& commandFor) {
    Disk disk(folder);
    const Alternated alone = alternate(disk, seconds, commandFor(1));
    const std::vector<Row> rows = measure(disk, seconds, service, commandFor);
    printHead(path);
    for (const Row& row : rows) {
        printRow(row, rows.front());
    }
    printGoals(rows, alone);
}

void direct(const std::string& folder, double seconds) {
    SqliteJournal journal(folder + "/direct.db", SqliteJournal::Access::till);
    DayService service(builtinMenu(), journal);
    service.start();
    report("Directly on the service", folder, seconds, service, [&](int) -> Command {
        return [&](int client, long at) { return directCommand(service, client, at); };
    });
    service.leaveOpen();
}

void overHttp(const std::string& folder, double seconds) {
    ServedDay served(folder + "/web.db");
    std::vector<std::unique_ptr<LoopbackDevice>> devices;
    report("Over HTTP on loopback", folder, seconds, served.service(), [&](int clients) -> Command {
        devices.clear();
        for (int device = 0; device < clients; ++device) {
            devices.push_back(std::make_unique<LoopbackDevice>(served.port(), device));
        }
        return [&](int client, long at) {
            return devices[static_cast<std::size_t>(client)]->command("t" + std::to_string(client),
                                                                      at) == 200;
        };
    });
    devices.clear();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: group_commit_benchmark FOLDER [SECONDS-PER-ROW [direct|http]]"
                  << std::endl;
        return 2;
    }
    const std::string folder = argv[1];
    const double seconds = argc > 2 ? std::stod(argv[2]) : 2.0;
    const std::string only = argc > 3 ? argv[3] : "";
    fs::create_directories(folder);
    fs::remove(folder + "/direct.db");
    fs::remove(folder + "/web.db");
    std::cout << "Durable commands per second, each answered once on disk; " << seconds
              << " s a row; fsync: 100 bytes overwritten, then fdatasync, before and after the row"
              << std::endl;
    if (only != "http") {
        direct(folder, seconds);
    }
    if (only != "direct") {
        overHttp(folder, seconds);
    }
    return 0;
}
