// restaurant: the program a restaurant runs all day at its till. This file
// only wires the options to the menu, the journal and the till.
#include <CLI/CLI.hpp>
#include <cstdint>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "app/DemoDay.h"
#include "app/HelpFormatter.h"
#include "journal/JournalPath.h"
#include "journal/MemoryJournal.h"
#include "journal/SqliteJournal.h"
#include "menu/MenuFile.h"
#include "till/Console.h"
#include "till/EditLineReader.h"
#include "till/ReadCommands.h"
#include "till/StreamLineReader.h"
#include "till/Till.h"

namespace {

constexpr int journalFailed = 1;
constexpr int badUsage = 2;

// Returns the built-in menu, or the file's when one is given; a file with
// problems has them reported on standard error and gives nothing.
std::optional<Menu> menuFrom(const std::string& file) {
    if (file.empty()) {
        return builtinMenu();
    }
    MenuReading reading = readMenuFile(file);
    if (reading.problems.empty()) {
        return std::move(reading.menu);
    }
    for (const std::string& line : describeProblems(file, reading.problems)) {
        std::cerr << line << '\n';
    }
    std::cerr << std::flush;
    return std::nullopt;
}

// What the command line asks for.
struct Request {
    std::string menuFile;
    std::string journalFile;
    bool noJournal = false;
    bool demo = false;
    std::optional<std::int32_t> day;
    std::int32_t receiptDay = 0;
    std::int32_t customer = 0;
};

CLI::Option* journalOption(CLI::App& command, Request& request) {
    return command
        .add_option("--journal", request.journalFile,
                    "The journal's file (default: $RESTAURANT_JOURNAL, else "
                    "$XDG_DATA_HOME/restaurant/journal.db)")
        ->type_name("FILE");
}

int runTill(Request& request) {
    std::optional<Menu> menu = menuFrom(request.menuFile);
    if (!menu) {
        return badUsage;
    }
    std::unique_ptr<Journal> journal;
    if (request.demo || request.noJournal) {
        journal = std::make_unique<MemoryJournal>();
    } else {
        journal = std::make_unique<SqliteJournal>(
            request.journalFile.empty() ? defaultJournalPath() : request.journalFile,
            SqliteJournal::Access::till);
    }
    std::vector<std::vector<std::string>> names = namesByKind(*menu);
    Console console(std::move(*menu), *journal);
    Till till(console);
    if (request.demo) {
        return till.replay(demoCommands());
    }
    if (isatty(STDIN_FILENO) != 0) {
        EditLineReader lines(std::move(names));
        return till.run(lines);
    }
    StreamLineReader lines(std::cin);
    return till.run(lines);
}

int run(int argc, char** argv) {
    CLI::App app(
        "The till of a restaurant: takes the day's orders from commands on standard input, one a\n"
        "line (type help for them), keeps every sale in the day's journal, and prints the day's\n"
        "accounts at the end. The sub-commands read the journal without starting the till.",
        "restaurant");
    app.formatter(std::make_shared<HelpFormatter>());
    app.set_version_flag("--version", "restaurant " RESTAURANT_VERSION);
    app.require_subcommand(0, 1);
    Request request;
    CLI::Option* menu =
        app.add_option("--menu", request.menuFile, "Sell from the menu in this CSV file")
            ->type_name("FILE");
    CLI::Option* journal = journalOption(app, request);
    CLI::Option* noJournal =
        app.add_flag("--no-journal", request.noJournal, "Keep the day in memory only")
            ->excludes(journal);
    app.add_flag("--demo", request.demo,
                 "Replay a built-in day, showing each command before its output; keeps no journal")
        ->excludes(menu)
        ->excludes(journal)
        ->excludes(noJournal);

    CLI::App* menuCommand = app.add_subcommand("menu", "The menu in use as CSV");
    menuCommand->add_option("--menu", request.menuFile, "Read the menu from this CSV file")
        ->type_name("FILE");
    CLI::App* days = app.add_subcommand(
        "days",
        "One line per day: its number, when it opened and closed (or open), customers, "
        "revenue");
    CLI::App* report = app.add_subcommand(
        "report", "The day's three report lines, as the till printed them (default: the last day)");
    CLI::App* summary = app.add_subcommand("summary", "The day's close-of-day summary");
    CLI::App* receipt = app.add_subcommand("receipt", "That customer's receipt");
    CLI::App* exporting = app.add_subcommand("export", "Every item sold that day as CSV");
    for (CLI::App* command : {report, summary, exporting}) {
        command->add_option("DAY", request.day, "The day's number (default: the last day)");
    }
    receipt->add_option("DAY", request.receiptDay, "The day's number")->required();
    receipt->add_option("CUSTOMER", request.customer, "The customer's number in that day")
        ->required();
    for (CLI::App* command : {days, report, summary, receipt, exporting}) {
        journalOption(*command, request);
    }

    app.footer(
        "Run restaurant SUB-COMMAND --help for a sub-command's options; type help at the till "
        "for its commands.");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? 0 : badUsage;
    }

    try {
        if (menuCommand->parsed()) {
            std::optional<Menu> menuInUse = menuFrom(request.menuFile);
            if (!menuInUse) {
                return badUsage;
            }
            writeMenu(std::move(*menuInUse), std::cout);
            return std::cout.flush() ? 0 : journalFailed;
        }
        if (app.get_subcommands().empty()) {
            return runTill(request);
        }
        SqliteJournal reader(
            request.journalFile.empty() ? defaultJournalPath() : request.journalFile,
            SqliteJournal::Access::reading);
        if (days->parsed()) {
            return listDays(reader, std::cout);
        }
        if (report->parsed()) {
            return reportDay(reader, request.day);
        }
        if (summary->parsed()) {
            return summarizeDay(reader, request.day, std::cout);
        }
        if (receipt->parsed()) {
            return printReceipt(reader, request.receiptDay, request.customer, std::cout);
        }
        return exportDay(reader, request.day, std::cout);
    } catch (const JournalError& error) {
        std::cerr << error.what() << std::endl;
        return journalFailed;
    }
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << "restaurant: " << error.what() << std::endl;
        return 1;
    }
}
