#pragma once

#include <iostream>
#include <sstream>
#include <string>

#include "testing/CoutRedirect.h"

#include "console/Console.h"
#include "journal/Journal.h"
#include "menu/Menu.h"

// The commands that show a day without changing it: the current order, the
// open orders, and the day's report.
inline const char* const stateCommands[] = {"cart", "tables", "report"};

// What a person at the till can see of its day, without changing it. The
// till's writer is idle once it returns, so that its journal may be read.
inline std::string stateOf(Console& console) {
    std::ostringstream seen;
    CoutRedirect redirect(seen.rdbuf());
    for (const char* command : stateCommands) {
        console.handle(command);
    }
    console.settle();
    return seen.str();
}

// The same, as a till that resumes the journal's open day sees it: what a
// restart would find.
inline std::string stateResumedFrom(Journal& journal, Menu menu) {
    Console resumed(std::move(menu), journal);
    {
        std::ostringstream announcement;
        CoutRedirect silence(announcement.rdbuf());
        resumed.start();
    }
    return stateOf(resumed);
}
