#include "base/ItemKind.h"

#include <cctype>
#include <cstddef>

std::string_view kindWord(ItemKind kind) {
    switch (kind) {
        case ItemKind::dish:
            return "dish";
        case ItemKind::snack:
            return "snack";
        case ItemKind::drink:
            return "drink";
    }
    return "";
}

std::optional<ItemKind> kindNamed(std::string_view word) {
    for (ItemKind kind : itemKinds) {
        const std::string_view name = kindWord(kind);
        bool same = word.size() == name.size();
        for (std::size_t at = 0; same && at < word.size(); ++at) {
            same = std::tolower(static_cast<unsigned char>(word[at])) == name[at];
        }
        if (same) {
            return kind;
        }
    }
    return std::nullopt;
}

Money surchargeOf(ItemKind kind) {
    switch (kind) {
        case ItemKind::dish:
            return Money::fromCents(300);
        case ItemKind::snack:
            return Money::fromCents(200);
        case ItemKind::drink:
            return Money::fromCents(100);
    }
    return Money();
}
