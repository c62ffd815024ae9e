#include "till/Till.h"

#include <iostream>
#include <new>
#include <optional>

#include "journal/Journal.h"

Till::Till(Console& console) : console(console) {}

int Till::run(LineReader& lines) {
    console.start();
    if (lines.interactive()) {
        std::cout << "Welcome. Type help for the commands, quit to close the day." << std::endl;
    }
    for (std::optional<std::string> line = lines.next(); line; line = lines.next()) {
        if (!carryOut(*line)) {
            return console.exitStatus();
        }
    }
    console.finish();
    return console.exitStatus();
}

int Till::replay(const std::vector<std::string>& commands) {
    console.start();
    for (const std::string& command : commands) {
        std::cout << "> " << command << std::endl;
        if (!carryOut(command)) {
            return console.exitStatus();
        }
    }
    console.finish();
    return console.exitStatus();
}

// A line that runs out of memory, or that cannot read the journal, is not
// carried out and changes nothing: the console records every change before
// making it, and reports a refused write itself.
bool Till::carryOut(const std::string& line) {
    try {
        return console.handle(line);
    } catch (const std::bad_alloc&) {
        std::cerr << "restaurant: out of memory; that line was not carried out" << std::endl;
    } catch (const JournalError& error) {
        std::cerr << "restaurant: " << error.what() << "; that line was not carried out"
                  << std::endl;
    }
    return true;
}
