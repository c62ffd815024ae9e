#pragma once

#include <iostream>
#include <sstream>
#include <string>

#include "testing/CoutRedirect.h"

#include "console/Console.h"
#include "journal/Journal.h"
#include "menu/Menu.h"

// What a person at the till can see of its day, without changing it: the
// current customer's cart and the day's report.
inline std::string stateOf(Console& console) {
    std::ostringstream seen;
    CoutRedirect redirect(seen.rdbuf());
    console.handle("cart");
    console.handle("report");
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
