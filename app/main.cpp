// restaurant: the program a restaurant runs all day at its till. This file
// only wires the options to the menu and the till.
#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>

#include "app/DemoDay.h"
#include "menu/MenuFile.h"
#include "till/Console.h"
#include "till/StreamLineReader.h"
#include "till/Till.h"

namespace {

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

constexpr int badUsage = 2;

int run(int argc, char** argv) {
    CLI::App app(
        "Takes a restaurant's orders from commands on standard input, one a line, and prints\n"
        "the day's accounts at the end (type help for the commands).",
        "restaurant");
    app.set_version_flag("--version", "restaurant " RESTAURANT_VERSION);
    std::string menuFile;
    bool demo = false;
    CLI::Option* menuOption =
        app.add_option("--menu", menuFile, "Sell from the menu in this CSV file")
            ->type_name("FILE");
    app.add_flag("--demo", demo, "Replay a built-in day, showing each command before its output")
        ->excludes(menuOption);

    CLI::App* menuCommand =
        app.add_subcommand("menu", "Write the menu in use as CSV on standard output");
    menuCommand->add_option("--menu", menuFile, "Read the menu from this CSV file")
        ->type_name("FILE");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? 0 : badUsage;
    }

    std::optional<Menu> menu = menuFrom(menuFile);
    if (!menu) {
        return badUsage;
    }
    if (menuCommand->parsed()) {
        writeMenu(std::move(*menu), std::cout);
        return std::cout.flush() ? 0 : 1;
    }
    Console console(std::move(*menu));
    Till till(console);
    if (demo) {
        return till.replay(demoCommands());
    }
    StreamLineReader lines(std::cin, isatty(STDIN_FILENO) != 0);
    return till.run(lines);
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
