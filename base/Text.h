#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Text as people read and type it, in UTF-8 across all of Unicode: matching
// that ignores letter case and accents, columns as a terminal shows them, and
// the characters a name may not hold. libunistring knows the characters.

// Returns true when the bytes are well-formed UTF-8.
bool isUtf8(std::string_view text);

// Returns the text with letter case and accents taken away, for comparing
// names as a person means them: "Tiramisù" and "TIRAMISU" fold alike.
std::string foldedForMatching(std::string_view text);

// Returns a person's name as names compare: folded, with the spaces and tabs
// at either end left out.
std::string foldedName(std::string_view name);

// Returns how many columns the text takes on a terminal: two for a wide
// character (Chinese, Japanese), none for a combining accent.
std::size_t displayWidth(std::string_view text);

// Returns the text padded with spaces to `width` columns, on the right, or on
// the left for numbers.
std::string padRight(std::string_view text, std::size_t width);
std::string padLeft(std::string_view text, std::size_t width);

// Returns the first character a name may not hold, or nothing: a control
// character (C0, C1, DEL), an invisible format character (a bidirectional
// override, a zero-width space) or a line or paragraph separator. The text
// must be UTF-8.
std::optional<char32_t> forbiddenInName(std::string_view text);

// Whether the text is a person's own words as the till keeps them (a void's
// reason, a note): UTF-8, 1 to `most` characters, none forbidden in a name.
bool isFreeText(std::string_view text, std::size_t most = 120);

// Returns "U+202E" for the character.
std::string codePointName(char32_t character);

// Returns the word in lower case, ASCII letters alone changed.
std::string lowercaseWord(std::string_view word);

// Returns true when the word is one or more ASCII digits and nothing else.
bool isAllDigits(std::string_view word);
