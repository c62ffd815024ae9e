#include "base/Text.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <unicase.h>
#include <unictype.h>
#include <uninorm.h>
#include <unistr.h>
#include <uniwidth.h>

namespace {

const std::uint8_t* bytesOf(std::string_view text) {
    return reinterpret_cast<const std::uint8_t*>(text.data());
}

struct FreeDeleter {
    void operator()(std::uint8_t* memory) const { std::free(memory); }
};

}  // namespace

bool isUtf8(std::string_view text) { return u8_check(bytesOf(text), text.size()) == nullptr; }

// Folding decomposes (NFD), so an accent stands apart from its letter as a
// non-spacing mark; the marks are then dropped.
std::string foldedForMatching(std::string_view text) {
    if (!isUtf8(text)) {
        // Typed in another encoding: compared byte for byte, ASCII letters
        // folded.
        std::string lower(text);
        for (char& c : lower) {
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
        return lower;
    }
    std::size_t length = 0;
    const std::unique_ptr<std::uint8_t, FreeDeleter> folded(
        u8_casefold(bytesOf(text), text.size(), nullptr, UNINORM_NFD, nullptr, &length));
    if (!folded) {
        throw std::bad_alloc();
    }
    std::string kept;
    kept.reserve(length);
    const std::uint8_t* at = folded.get();
    const std::uint8_t* const end = at + length;
    while (at < end) {
        ucs4_t character = 0;
        const int size = u8_mbtouc(&character, at, static_cast<std::size_t>(end - at));
        if (!uc_is_general_category(character, UC_CATEGORY_Mn)) {
            kept.append(reinterpret_cast<const char*>(at), static_cast<std::size_t>(size));
        }
        at += size;
    }
    return kept;
}

std::string foldedName(std::string_view name) {
    const std::size_t first = name.find_first_not_of(" \t");
    const std::size_t last = name.find_last_not_of(" \t");
    return first == std::string_view::npos
               ? ""
               : foldedForMatching(name.substr(first, last - first + 1));
}

std::size_t displayWidth(std::string_view text) {
    const int width = u8_width(bytesOf(text), text.size(), "UTF-8");
    return width < 0 ? text.size() : static_cast<std::size_t>(width);
}

std::string padRight(std::string_view text, std::size_t width) {
    const std::size_t used = displayWidth(text);
    std::string padded(text);
    return used >= width ? padded : padded + std::string(width - used, ' ');
}

std::string padLeft(std::string_view text, std::size_t width) {
    const std::size_t used = displayWidth(text);
    return used >= width ? std::string(text) : std::string(width - used, ' ') + std::string(text);
}

std::optional<char32_t> forbiddenInName(std::string_view text) {
    const std::uint8_t* at = bytesOf(text);
    const std::uint8_t* const end = at + text.size();
    while (at < end) {
        ucs4_t character = 0;
        at += u8_mbtouc(&character, at, static_cast<std::size_t>(end - at));
        if (uc_is_general_category(character, UC_CATEGORY_Cc) ||
            uc_is_general_category(character, UC_CATEGORY_Cf) ||
            uc_is_general_category(character, UC_CATEGORY_Zl) ||
            uc_is_general_category(character, UC_CATEGORY_Zp)) {
            return static_cast<char32_t>(character);
        }
    }
    return std::nullopt;
}

std::string codePointName(char32_t character) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(character));
    return name;
}

bool isAllDigits(std::string_view word) {
    if (word.empty()) {
        return false;
    }
    for (char c : word) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

bool isFreeText(std::string_view text, std::size_t most) {
    if (text.empty() || !isUtf8(text) || forbiddenInName(text)) {
        return false;
    }
    std::size_t characters = 0;
    for (const char byte : text) {
        characters += (static_cast<unsigned char>(byte) & 0xC0U) != 0x80U ? 1U : 0U;
    }
    return characters <= most;
}

std::string lowercaseWord(std::string_view word) {
    std::string lower(word);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}
