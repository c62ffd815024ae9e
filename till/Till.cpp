#include "till/Till.h"

#include <iostream>
#include <new>
#include <optional>

Till::Till(Console& console) : console(console) {}

int Till::run(LineReader& lines) {
    if (lines.interactive()) {
        std::cout << "Welcome. Type help for the commands, quit to close the day." << std::endl;
    }
    for (std::optional<std::string> line = lines.next(); line; line = lines.next()) {
        if (!carryOut(*line)) {
            return 0;
        }
    }
    console.finish();
    return 0;
}

int Till::replay(const std::vector<std::string>& commands) {
    for (const std::string& command : commands) {
        std::cout << "> " << command << std::endl;
        if (!carryOut(command)) {
            return 0;
        }
    }
    console.finish();
    return 0;
}

// A line that runs out of memory is not carried out and changes nothing.
bool Till::carryOut(const std::string& line) {
    try {
        return console.handle(line);
    } catch (const std::bad_alloc&) {
        std::cerr << "restaurant: out of memory; that line was not carried out" << std::endl;
        return true;
    }
}
