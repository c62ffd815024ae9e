#pragma once

#include <iostream>
#include <string>

// runItemCheck makes one item of kind `Item`, drives every item operation once
// and prints one line per check and a tally of passed against run checks.
//
// Every line is flushed as it is written, so a crash part way still shows how
// far the run got. The result is the program's exit status: always 0, since
// failures show only in the printed lines.
template <typename Item>
int runItemCheck(const std::string& givenName, const std::string& newName, double expectedTotal,
                 std::ostream& out = std::cout) {
    int run = 0;
    int passed = 0;
    auto report = [&](int number, bool holds) {
        ++run;
        if (holds) {
            ++passed;
        }
        out << "Test" << number << (holds ? " success" : " fail") << std::endl;
    };

    Item item(givenName, 8.0, 4.0);
    item.setName(newName);
    report(1, item.getName() == newName);
    item.setPrice(10.0);
    report(2, item.getPrice() == 10.0);
    item.setCost(6.0);
    report(3, item.getCost() == 6.0);
    report(4, item.totalCost() == expectedTotal);

    out << "Success/Total " << passed << "/" << run << std::endl;
    return 0;
}
