#include <cfloat>
#include <cmath>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "menu/CsvReader.h"
#include "menu/MenuFile.h"

namespace {

// A menu as its file says it: every item, exact to the last bit of each
// double, since the shortest form reads back exactly.
std::string csvOf(const Menu& menu) {
    std::ostringstream text;
    writeMenu(menu, text);
    return text.str();
}

// What reading `file` gives: the menu's CSV, or "LINE: problem" lines.
std::string readingOf(const std::string& file) {
    MenuReading reading = readMenu(file);
    if (reading.problems.empty()) {
        return csvOf(reading.menu);
    }
    EXPECT_EQ(csvOf(reading.menu), "kind,name,price,cost\n") << "a bad file gives no items";
    std::string lines;
    for (const MenuProblem& problem : reading.problems) {
        lines += std::to_string(problem.line) + ": " + problem.text + "\n";
    }
    return lines;
}

struct Case {
    const char* what;
    std::string file;
    std::string read;
};

const std::vector<Case> acceptedFiles = {
    {"the file restaurant menu writes",
     "kind,name,price,cost\ndish,Fish,9.5,4\nsnack,Nuts,3,1.5\ndrink,Tea,2,0.25\n",
     "kind,name,price,cost\ndish,Fish,9.5,4\nsnack,Nuts,3,1.5\ndrink,Tea,2,0.25\n"},
    {"a spreadsheet's: BOM, CRLF, ';', columns in any order and case, quotes, extra columns",
     "\xef\xbb\xbfPrice;NAME;Category;Kind;COST\r\n"
     "8.50;\"Fish; chips\";\"main,\r\n\"\"big\"\"\";DISH;4\r\n"
     "\"2.5\";\"Say \"\"hi\"\"\";;drink;1\r\n",
     "kind,name,price,cost\ndish,Fish; chips,8.5,4\ndrink,\"Say \"\"hi\"\"\",2.5,1\n"},
    {"blank lines, empty spreadsheet rows, blanks around fields, empty trailing fields",
     "\n kind , name,price,cost\n\n,,,\n  SNACK ,  Nuts  , 3 , 1.5 ,,\n\n",
     "kind,name,price,cost\nsnack,Nuts,3,1.5\n"},
    {"numbers in every decimal form, the same in any locale",
     "kind,name,price,cost\ndrink,A,.5,0\ndrink,B,1e3,-0\ndrink,C,0.1,0.30000000000000004\n",
     "kind,name,price,cost\ndrink,A,0.5,0\ndrink,B,1000,0\ndrink,C,0.1,0.30000000000000004\n"},
    {"lines that end in a lone CR, and UTF-8 names, with a kind that has no items",
     "kind,name,price,cost\rdish,Crème brûlée,7,2\rdish,拉面,9,3\r",
     "kind,name,price,cost\ndish,Crème brûlée,7,2\ndish,拉面,9,3\n"},
    {"the same name for two kinds, and names that differ only past a prefix",
     "kind,name,price,cost\ndish,Tea cake,5,2\ndrink,Tea,2,1\ndrink,Tea with milk,3,1\n"
     "snack,Tea,1,1\n",
     "kind,name,price,cost\ndish,Tea cake,5,2\nsnack,Tea,1,1\ndrink,Tea,2,1\n"
     "drink,Tea with milk,3,1\n"},
};

TEST(MenuFile, ReadsEveryFormASpreadsheetSaves) {
    for (const Case& accepted : acceptedFiles) {
        EXPECT_EQ(readingOf(accepted.file), accepted.read) << accepted.what;
    }
}

const std::vector<Case> badFiles = {
    {"no rows", "\xef\xbb\xbf\r\n\n",
     "1: the file holds no rows: the first row must name the columns kind, name, price and "
     "cost\n"},
    {"UTF-16", std::string("\xff\xfek\0i\0", 6),
     "1: the file is UTF-16 text: save it as CSV UTF-8\n"},
    {"columns missing or twice", "\nName,kind,Price,name\n",
     "2: the first row names the column 'name' twice: keep one of them\n"
     "2: there is no 'cost' column: the first row must name the columns kind, name, price and "
     "cost\n"},
    {"kinds, names and numbers",
     "kind;name;price;cost\n"
     "dish;Fish;8,50;4\n"
     "pizza;;abc;inf\n"
     ";Soup;$3.50;-1\n"
     "drink;\"Te\na\";1;nan\n"
     "DRINK;Juice;;1\n",
     "2: '8,50' is not a number: write it with a point, 8.50\n"
     "3: unknown kind 'pizza': write dish, snack or drink\n"
     "3: the name is empty: write the item's name\n"
     "3: 'abc' is not a number: write the price as a number with a point, for example 8.50\n"
     "3: the cost 'inf' is not a finite number: write an amount such as 8.50\n"
     "4: the kind is empty: write dish, snack or drink\n"
     "4: '$3.50' is not a number: write it without the currency sign, 3.50\n"
     "4: the cost -1 is negative: write 0 or more\n"
     "5: the name holds a line break or another control character: write it on one line\n"
     "5: the cost 'nan' is not a finite number: write an amount such as 8.50\n"
     "7: the price is empty: write it as a number with a point, for example 8.50\n"},
    {"rows of the wrong width, counted in physical lines",
     "kind,name,description,price,cost\n"
     "dish,Fish,\"fresh\nfrom the\nsea\",9,4\n"
     "dish,Soup,hot\n"
     "dish,Fish, chips,,9,4\n"
     "dish,Rice,,9,4,,,\n",
     "5: this row has 3 fields but the first row has 5: give every row a value for each column\n"
     "6: this row has 6 fields but the first row has 5: write numbers with a point (8.50) and "
     "put a name that holds ',' in double quotes\n"},
    {"the same name twice in one kind, letter case aside",
     "kind,name,price,cost\ndrink,Green tea,2,1\ndish,Green tea,9,4\n\ndrink,GREEN TEA,3,1\n",
     "5: 'GREEN TEA' is already on line 2 as a drink: give each drink its own name\n"},
    {"quotes: a stray one, then one that never closes; the rows between are still read",
     "kind,name,price,cost\n"
     "dish,5\" pizza,9,4\n"
     "dish,,9,4\n"
     "dish,\"Pie\n"
     "with \"\"cream\",9,4\n"
     "snack,\"open,1,1\n"
     "drink,Tea,2,1\n",
     "2: a quote stands inside a field that does not start with one: quote the whole field and "
     "double each quote inside it\n"
     "3: the name is empty: write the item's name\n"
     "4: the name holds a line break or another control character: write it on one line\n"
     "6: a quote opens a field here and never closes: end the field with a quote\n"},
    {"text that is not UTF-8", "kind,name,price,cost\ndish,Cr\xe8me,7,2\ndish,\xc0\xaf,1,1\n",
     "2: this row holds text that is not UTF-8: save the file as CSV UTF-8\n"
     "3: this row holds text that is not UTF-8: save the file as CSV UTF-8\n"},
};

TEST(MenuFile, ReportsEveryProblemAtItsPhysicalLineWithHowToMendIt) {
    for (const Case& bad : badFiles) {
        EXPECT_EQ(readingOf(bad.file), bad.read) << bad.what;
    }
}

TEST(MenuFile, ShowsTheFirstTwentyProblemsThenHowManyMore) {
    std::string file = "kind,name,price,cost\n";
    for (int row = 0; row < 23; ++row) {
        file += "dish,,1,1\n";
    }
    const std::vector<std::string> lines = describeProblems("menu.csv", readMenu(file).problems);
    ASSERT_EQ(lines.size(), 21U);
    EXPECT_EQ(lines.front(), "menu.csv:2: the name is empty: write the item's name");
    EXPECT_EQ(lines[19], "menu.csv:21: the name is empty: write the item's name");
    EXPECT_EQ(lines.back(), "menu.csv: 3 more problems after these");
}

TEST(MenuFile, WritesAMenuThatReadsBackExactly) {
    Menu menu = builtinMenu();
    menu.maindishes.emplace_back("Fish, chips and \"mushy\" peas", 0.1 + 0.2, 1e-7);
    menu.snacks.emplace_back("Crème brûlée; 拉面", DBL_MAX, DBL_MIN);
    menu.drinks.emplace_back("Tea", 5e-324, 1e22);
    const std::string written = csvOf(menu);
    MenuReading reading = readMenu(written);
    ASSERT_TRUE(reading.problems.empty()) << reading.problems.front().text;
    EXPECT_EQ(csvOf(reading.menu), written);
    EXPECT_EQ(reading.menu.maindishes.back().getPrice(), 0.1 + 0.2);
    EXPECT_EQ(reading.menu.maindishes.back().getName(), "Fish, chips and \"mushy\" peas");
    EXPECT_EQ(reading.menu.snacks.back().getCost(), DBL_MIN);
    EXPECT_EQ(reading.menu.drinks.back().getPrice(), 5e-324);
    EXPECT_EQ(reading.menu.drinks.size(), builtinMenu().drinks.size() + 1);
}

TEST(CsvReader, TakesTheSeparatorTheFirstRowUses) {
    EXPECT_EQ(CsvReader::separatorOf("kind;name;price;cost\na,b,c"), ';');
    EXPECT_EQ(CsvReader::separatorOf("\r\n\"a;b\",c\n;;;;"), ',');
    EXPECT_EQ(CsvReader::separatorOf(""), ',');
}

}  // namespace
