#pragma once

#include <string>
#include <vector>

#include "till/Console.h"
#include "till/LineReader.h"

// Till runs a day at the counter: it opens or resumes the day, hands each
// command line to the console until the day ends, and the end of input ends
// the day as `quit` does. A line that runs out of memory is reported and the
// day goes on, rather than the program ending and the day being lost.
class Till {
public:
    explicit Till(Console& console);

    // Carries out the lines as they come; returns the program's exit status.
    // Throws JournalError when the journal cannot open the day.
    int run(LineReader& lines);
    // Shows each command after "> " before carrying it out, as a
    // demonstration; returns the program's exit status.
    int replay(const std::vector<std::string>& commands);

private:
    // Returns false once the day is over.
    bool carryOut(const std::string& line);

    Console& console;
};
