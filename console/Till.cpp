#include "console/Till.h"

#include <cstring>
#include <iostream>
#include <new>
#include <optional>
#include <utility>

#include "journal/Journal.h"

Till::Till(Console& console, std::string welcome) : console(console), welcome(std::move(welcome)) {}

int Till::run(LineReader& lines) {
    console.start();
    if (lines.interactive()) {
        std::cout << welcome << std::endl;
        askThrough(lines);
    }
    while (true) {
        const LineReader::Input input = lines.next();
        switch (input.kind) {
            case LineReader::Input::Kind::line:
                if (!carryOut(input.text)) {
                    return console.exitStatus();
                }
                break;
            case LineReader::Input::Kind::end:
                if (!lines.interactive()) {
                    console.finish();
                    return console.exitStatus();
                }
                console.leaveOpen();
                std::cout << "The day stays open: start restaurant again to go on, or type quit "
                             "to close it."
                          << std::endl;
                return 0;
            case LineReader::Input::Kind::stopped:
                console.leaveOpen();
                std::cerr << "restaurant: stopped by SIG" << sigabbrev_np(input.signal)
                          << "; the day stays open, nothing charged" << std::endl;
                return 128 + input.signal;
            case LineReader::Input::Kind::failed:
                console.leaveOpen();
                std::cerr << "restaurant: cannot read the commands: " << input.text
                          << "; the day stays open, nothing charged" << std::endl;
                return 1;
        }
    }
}

// A person at a terminal can answer the console's questions; a script is
// never asked.
void Till::askThrough(LineReader& lines) {
    console.askWith([&lines](const std::string& question) -> std::optional<std::string> {
        LineReader::Input answer = lines.ask(question);
        return answer.kind == LineReader::Input::Kind::line
                   ? std::optional<std::string>(std::move(answer.text))
                   : std::nullopt;
    });
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
