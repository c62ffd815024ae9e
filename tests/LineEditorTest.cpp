// What Tab offers at the till's terminal: words split on any run of blanks,
// names matched without letter case or accents, and each completion the
// rest of the word being typed.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "console/EditLineReader.h"
#include "console/StopSignals.h"

namespace {

using Words = std::vector<std::string>;

TEST(LineEditor, CompletesCommandsKindsAndNamesWordByWord) {
    StopSignals signals;
    const EditLineReader reader({{"Beef noodle soup", "Beef stew"},
                                 {"Spring rolls"},
                                 {"Green tea", "Café au lait", "Tea with milk"}},
                                signals);
    EXPECT_EQ(reader.completions("re"), (Words{"remove", "reprint", "receipt", "report"}));
    EXPECT_EQ(reader.completions("add d"), (Words{"dish", "drink"}));
    EXPECT_EQ(reader.completions("add  3\t dr"), (Words{"drink"}));
    EXPECT_EQ(reader.completions("add \t3  drink   gre"), (Words{"Green tea"}));
    EXPECT_EQ(reader.completions("add drink green T"), (Words{"tea"}));
    EXPECT_EQ(reader.completions("ADD DRINK cafe"), (Words{"Café au lait"}));
    EXPECT_EQ(reader.completions("add drink CAFÉ AU l"), (Words{"lait"}));
    EXPECT_EQ(reader.completions("add dish beef "), (Words{"noodle soup", "stew"}));
    EXPECT_EQ(reader.completions("remove snack spr"), (Words{"Spring rolls"}));
    EXPECT_EQ(reader.completions("add pizza "), Words{});
    EXPECT_EQ(reader.completions("cart "), Words{});
}

}  // namespace
