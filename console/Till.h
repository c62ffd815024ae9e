#pragma once

#include <string>
#include <vector>

#include "console/Console.h"
#include "console/LineReader.h"

// Till runs a day at the counter: it opens or resumes the day and hands each
// command line to the console until the day ends or the till is stopped.
// Nothing is charged unless someone says so: the end of a script acts as
// quit, but the end of a person's input (Ctrl-D), a hang-up, a stop signal or
// input that cannot be read leave the day open for the next start. A line
// that runs out of memory is reported and the day goes on, rather than the
// program ending and the day being lost.
class Till {
public:
    // `welcome` greets a person at a terminal.
    Till(Console& console, std::string welcome);

    // Carries out the lines as they come; returns the program's exit status.
    // Throws JournalError when the journal cannot open the day.
    int run(LineReader& lines);
    // Shows each command after "> " before carrying it out, as a
    // demonstration; returns the program's exit status.
    int replay(const std::vector<std::string>& commands);

private:
    // Returns false once the day is over.
    bool carryOut(const std::string& line);
    void askThrough(LineReader& lines);

    Console& console;
    std::string welcome;
};
