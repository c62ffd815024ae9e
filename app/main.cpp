#include <iostream>
#include <new>
#include <string>
#include <unistd.h>

#include "app/BuiltinDay.h"
#include "app/Console.h"

namespace {

const char* const usage =
    "Usage: restaurant [--demo | --help]\n"
    "Takes the day's orders from commands on standard input, one a line, and\n"
    "prints the day's accounts at the end (type help for the commands).\n"
    "  --demo  replay a built-in day, showing each command before its output\n"
    "  --help  show this text";

// A line that runs out of memory is not carried out and changes nothing, so
// the day goes on rather than being lost.
bool carryOut(Console& console, const std::string& line) {
    try {
        return console.handle(line);
    } catch (const std::bad_alloc&) {
        std::cerr << "restaurant: out of memory; that line was not carried out" << std::endl;
        return true;
    }
}

int runDemo(Console& console) {
    for (const std::string& command : demoCommands()) {
        std::cout << "> " << command << std::endl;
        if (!carryOut(console, command)) {
            return 0;
        }
    }
    console.finish();
    return 0;
}

int runInteractive(Console& console) {
    const bool terminal = isatty(STDIN_FILENO) != 0;
    if (terminal) {
        std::cout << "Welcome. Type help for the commands, quit to close the day." << std::endl;
    }
    std::string line;
    while (true) {
        if (terminal) {
            std::cout << "> " << std::flush;
        }
        if (!std::getline(std::cin, line)) {
            if (terminal) {
                std::cout << std::endl;  // ends the prompt's line after Ctrl-D
            }
            break;
        }
        if (!carryOut(console, line)) {
            return 0;
        }
    }
    console.finish();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string option = argc > 1 ? argv[1] : "";
    if (argc > 2 || (argc == 2 && option != "--demo" && option != "--help")) {
        std::cerr << "restaurant: unknown option '" << (argc > 2 ? argv[2] : argv[1]) << "'\n"
                  << usage << std::endl;
        return 2;
    }
    if (option == "--help") {
        std::cout << usage << std::endl;
        return 0;
    }
    Console console(builtinMaindishes(), builtinSnacks(), builtinDrinks());
    return option == "--demo" ? runDemo(console) : runInteractive(console);
}
