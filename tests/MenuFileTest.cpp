#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "csv/CsvReader.h"
#include "menu/MenuFile.h"

namespace {

// A menu as its file says it: every item, to the cent.
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
    {"a comma-decimal spreadsheet's: ';' and decimal commas, quoted or not",
     "kind;name;price;cost\ndish;Schnitzel;14,90;\"6,5\"\ndrink;Wasser;2;0,40\n",
     "kind,name,price,cost\ndish,Schnitzel,14.9,6.5\ndrink,Wasser,2,0.4\n"},
    {"tab-separated, with decimal commas and a comma in a name",
     "kind\tname\tprice\tcost\r\ndish\tFish, chips\t11,00\t4.2\r\n",
     "kind,name,price,cost\ndish,\"Fish, chips\",11,4.2\n"},
    {"a decimal comma in a quoted field of a comma-separated file",
     "kind,name,price,cost\ndish,Pho,\"9,50\",4\n", "kind,name,price,cost\ndish,Pho,9.5,4\n"},
    {"blank lines, empty spreadsheet rows, blanks around fields, empty trailing fields",
     "\n kind , name,price,cost\n\n,,,\n  SNACK ,  Nuts  , 3 , 1.5 ,,\n\r\n\r\n \n",
     "kind,name,price,cost\nsnack,Nuts,3,1.5\n"},
    {"amounts in every plain decimal form, trailing zeros and the largest allowed",
     "kind,name,price,cost\ndrink,A,.5,0\ndrink,B,-0,0.10\ndrink,C,1000000,1.500\n"
     "drink,D,1000000.00,007\n",
     "kind,name,price,cost\ndrink,A,0.5,0\ndrink,B,0,0.1\ndrink,C,1000000,1.5\n"
     "drink,D,1000000,7\n"},
    {"lines that end in a lone CR, and UTF-8 names, with a kind that has no items",
     "kind,name,price,cost\rdish,Crème brûlée,7,2\rdish,拉面,9,3\r",
     "kind,name,price,cost\ndish,Crème brûlée,7,2\ndish,拉面,9,3\n"},
    {"the lowest two-byte UTF-8 character, in a column the menu ignores",
     "kind,name,price,cost,note\ndish,Soup,5,2,\xc2\x80\n",
     "kind,name,price,cost\ndish,Soup,5,2\n"},
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
     "dish;Fish;8.50.1;4\n"
     "pizza;;abc;inf\n"
     ";Soup;$3.50;-1\n"
     "drink;\"Te\na\";1;nan\n"
     "DRINK;Juice;;1e3\n",
     "2: '8.50.1' is not a number: write the price as a number with a point, for example 8.50\n"
     "3: unknown kind 'pizza': write dish, snack or drink\n"
     "3: the name is empty: write the item's name\n"
     "3: 'abc' is not a number: write the price as a number with a point, for example 8.50\n"
     "3: 'inf' is not a number: write the cost as a number with a point, for example 8.50\n"
     "4: the kind is empty: write dish, snack or drink\n"
     "4: '$3.50' is not a number: write it without the currency sign, 3.50\n"
     "4: the cost -1 is negative: write 0 or more\n"
     "5: the name holds a line break: write it on one line\n"
     "5: 'nan' is not a number: write the cost as a number with a point, for example 8.50\n"
     "7: the price is empty: write it as a number with a point, for example 8.50\n"
     "7: '1e3' is not a number: write the cost as a number with a point, for example 8.50\n"},
    {"amounts past whole cents or past a million",
     "kind,name,price,cost\ndish,Pho,1.005,0.999\ndish,Feast,1000000.01,99999999999999999\n",
     "2: '1.005' has more than two decimals: give whole cents, like 1.01\n"
     "2: '0.999' has more than two decimals: give whole cents, like 1.00\n"
     "3: the price '1000000.01' is more than 1000000.00, the most an item may cost: check the "
     "column\n"
     "3: the cost '99999999999999999' is more than 1000000.00, the most an item may cost: check "
     "the column\n"},
    {"a decimal comma where a comma separates", "kind,name,price,cost\ndish,Pho,9,50,4\n",
     "2: this row has 5 fields but the first row has 4: write numbers with a point (8.50) and "
     "put a name that holds ',' in double quotes\n"},
    {"characters that hide, reorder or break a name",
     "kind,name,price,cost\ndish,Soup\xc2\x85,1,1\ndish,\xe2\x80\xaepuoS,1,1\n"
     "dish,Zero\xe2\x80\x8bwidth,1,1\ndish,Bell\x07,1,1\n",
     "2: the name holds a control character (U+0085): delete it\n"
     "3: the name holds an invisible character (U+202E) that could hide or reorder text: "
     "delete it\n"
     "4: the name holds an invisible character (U+200B) that could hide or reorder text: "
     "delete it\n"
     "5: the name holds a control character (U+0007): delete it\n"},
    {"rows of the wrong width, counted in physical lines",
     "kind,name,description,price,cost\n"
     "dish,Fish,\"fresh\nfrom the\nsea\",9,4\n"
     "dish,Soup,hot\n"
     "dish,Fish, chips,,9,4\n"
     "dish,Rice,,9,4,,,\n",
     "5: this row has 3 fields but the first row has 5: give every row a value for each column\n"
     "6: this row has 6 fields but the first row has 5: write numbers with a point (8.50) and "
     "put a name that holds ',' in double quotes\n"},
    {"the same name twice in one kind, letter case and accents aside",
     "kind,name,price,cost\ndrink,Green tea,2,1\ndish,Green tea,9,4\n\ndrink,GREEN TEA,3,1\n"
     "snack,Café,1,1\nsnack,CAFE,2,1\n",
     "5: 'GREEN TEA' is already on line 2 as a drink: give each drink its own name\n"
     "7: 'CAFE' is already on line 6 as a snack: give each snack its own name\n"},
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
     "4: the name holds a line break: write it on one line\n"
     "6: a quote opens a field here and never closes: end the field with a quote\n"},
    {"text that is not UTF-8: Latin-1, an overlong form, a surrogate, a cut sequence",
     "kind,name,price,cost\ndish,Cr\xe8me,7,2\ndish,\xc1\xbf,1,1\ndish,\xed\xa0\x80,1,1\n"
     "dish,Pho\xe6\x8b,1,1\n",
     "2: this row holds text that is not UTF-8: save the file as CSV UTF-8\n"
     "3: this row holds text that is not UTF-8: save the file as CSV UTF-8\n"
     "4: this row holds text that is not UTF-8: save the file as CSV UTF-8\n"
     "5: this row holds text that is not UTF-8: save the file as CSV UTF-8\n"},
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

TEST(MenuFile, WritesAMenuThatReadsBackExactlyWithItsVatRates) {
    Menu menu = builtinMenu();
    menu.add({ItemKind::dish, "Fish, chips and \"mushy\" peas", Money::fromCents(30),
              Money::fromCents(1), std::nullopt});
    menu.add({ItemKind::snack, "Crème brûlée; 拉面", Money::fromCents(100'000'000), Money(), 700});
    menu.add({ItemKind::drink, " Tea ", Money::fromCents(5), Money::fromCents(99'999'999), 1950});
    const std::string written = csvOf(menu);
    const MenuReading reading = readMenu(written);
    ASSERT_TRUE(reading.problems.empty()) << reading.problems.front().text;
    // Blanks around a name are the file's, not the name's.
    menu = builtinMenu();
    menu.add({ItemKind::dish, "Fish, chips and \"mushy\" peas", Money::fromCents(30),
              Money::fromCents(1), std::nullopt});
    menu.add({ItemKind::snack, "Crème brûlée; 拉面", Money::fromCents(100'000'000), Money(), 700});
    menu.add({ItemKind::drink, "Tea", Money::fromCents(5), Money::fromCents(99'999'999), 1950});
    EXPECT_TRUE(reading.menu == menu) << csvOf(reading.menu);
    EXPECT_NE(written.find("snack,Crème brûlée; 拉面,1000000,0,7\n"), std::string::npos) << written;
}

// Blank lines and line breaks between rows hold no record, and the rows
// after them keep the lines they are on.
TEST(CsvReader, SkipsBlankLinesBetweenRowsAndCountsThem) {
    const CsvText csv = CsvReader(',').read("\r\n\r\na,b\r\n\r\n\n\rc,\"d\ne\"\n\n  \nf,g");
    ASSERT_EQ(csv.records.size(), 3U);
    EXPECT_EQ(csv.records[0].line, 3U);
    EXPECT_EQ(csv.records[0].fields, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(csv.records[1].line, 7U);
    EXPECT_EQ(csv.records[1].fields, (std::vector<std::string>{"c", "d\ne"}));
    EXPECT_EQ(csv.records[1].quoted, (std::vector<bool>{false, true}));
    EXPECT_EQ(csv.records[2].line, 11U);
    EXPECT_EQ(csv.records[2].fields, (std::vector<std::string>{"f", "g"}));
}

TEST(CsvReader, TakesTheSeparatorTheFirstRowUses) {
    EXPECT_EQ(CsvReader::separatorOf("kind;name;price;cost\na,b,c"), ';');
    EXPECT_EQ(CsvReader::separatorOf("\r\n\"a;b\",c\n;;;;"), ',');
    EXPECT_EQ(CsvReader::separatorOf("kind\tname\tprice,cost\tx"), '\t');
    EXPECT_EQ(CsvReader::separatorOf(""), ',');
}

}  // namespace
