#include "journal/EntryChain.h"

#include <new>
#include <sodium.h>
#include <stdexcept>
#include <vector>

namespace {

void sodiumReady() {
    static const bool ready = sodium_init() >= 0;
    if (!ready) {
        throw std::runtime_error("libsodium cannot start");
    }
}

void integer(std::string& out, std::int64_t value) {
    for (int shift = 56; shift >= 0; shift -= 8) {
        out += static_cast<char>(static_cast<std::uint64_t>(value) >> shift & 0xff);
    }
}

void text(std::string& out, const std::string& value) {
    const auto length = static_cast<std::uint32_t>(value.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>(length >> shift & 0xff);
    }
    out += value;
}

// One optional field, encoded into `out`; `kept` remembers where the
// encoding ends after the last field that is present.
template <typename Value, typename Write>
void optional(std::string& out, std::size_t& kept, const std::optional<Value>& value, Write write) {
    if (!value) {
        out += '\0';
        return;
    }
    out += '\1';
    write(out, *value);
    kept = out.size();
}

// The fields of discounts, the drawer, tenders and closes, appended after
// the kitchen's.
void encodeMoneyInto(std::string& out, std::size_t& kept, const JournalEntry& entry) {
    const auto whole = [](std::string& to, std::int64_t value) { integer(to, value); };
    const auto money = [](std::string& to, Money value) { integer(to, value.cents()); };
    optional(out, kept, entry.approver, text);
    optional(out, kept, entry.amount, money);
    optional(out, kept, entry.percent, whole);
    optional(out, kept, entry.discount, money);
    optional(out, kept, entry.charge, money);
    optional(out, kept, entry.tip, money);
    optional(out, kept, entry.z, whole);
    optional(out, kept, entry.parts, whole);
}

}  // namespace

EntryChain::Hash EntryChain::genesis() { return Hash{}; }

std::string EntryChain::encoding(const JournalEntry& entry) {
    std::string out;
    encodeInto(out, entry);
    return out;
}

void EntryChain::encodeInto(std::string& out, const JournalEntry& entry) {
    out.clear();
    integer(out, entry.day);
    integer(out, entry.seq);
    integer(out, static_cast<std::int64_t>(entry.type));
    integer(out, entry.at);
    std::size_t kept = out.size();
    const auto whole = [](std::string& to, std::int64_t value) { integer(to, value); };
    optional(out, kept, entry.customer, whole);
    optional(out, kept, entry.item, whole);
    optional(out, kept, entry.kind,
             [](std::string& to, ItemKind kind) { integer(to, static_cast<std::int64_t>(kind)); });
    optional(out, kept, entry.name, text);
    optional(out, kept, entry.price,
             [](std::string& to, Money money) { integer(to, money.cents()); });
    optional(out, kept, entry.cost,
             [](std::string& to, Money money) { integer(to, money.cents()); });
    optional(out, kept, entry.saleId, text);
    optional(out, kept, entry.label, text);
    optional(out, kept, entry.vat, whole);
    optional(out, kept, entry.method, text);
    optional(out, kept, entry.given,
             [](std::string& to, Money money) { integer(to, money.cents()); });
    optional(out, kept, entry.reason, text);
    optional(out, kept, entry.staff, text);
    optional(out, kept, entry.opened, whole);
    optional(out, kept, entry.customers, whole);
    optional(out, kept, entry.revenue,
             [](std::string& to, Money money) { integer(to, money.cents()); });
    optional(out, kept, entry.note, text);
    optional(out, kept, entry.course, whole);
    optional(out, kept, entry.station, text);
    optional(out, kept, entry.ticket, whole);
    optional(out, kept, entry.heading, text);
    encodeMoneyInto(out, kept, entry);
    out.resize(kept);
}

// The encoding goes into a buffer kept for the thread, so that hashing a day
// of many entries allocates nothing once the buffer has grown.
EntryChain::Hash EntryChain::next(const Hash& before, const JournalEntry& entry) {
    sodiumReady();
    thread_local std::string encoded;
    encodeInto(encoded, entry);
    crypto_generichash_state state;
    Hash hash{};
    crypto_generichash_init(&state, nullptr, 0, hash.size());
    crypto_generichash_update(&state, before.data(), before.size());
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(encoded.data()),
                              encoded.size());
    crypto_generichash_final(&state, hash.data(), hash.size());
    return hash;
}

EntryChain::Hash EntryChain::settingHash(const std::string& key, const std::string& value) {
    std::string bytes = key;
    bytes += '\0';
    bytes += value;
    return digest(bytes);
}

EntryChain::Hash EntryChain::menuHash(const Menu& menu, const std::string& file,
                                      Moment importedAt) {
    std::string bytes;
    text(bytes, file);
    integer(bytes, importedAt);
    for (ItemKind kind : itemKinds) {
        for (const MenuItem& item : menu.of(kind)) {
            integer(bytes, static_cast<std::int64_t>(kind));
            text(bytes, item.name);
            integer(bytes, item.price.cents());
            integer(bytes, item.cost.cents());
            if (item.vat) {
                bytes += '\1';
                integer(bytes, *item.vat);
            }
            // Menus imported before courses and stations hash as they did.
            if (item.course || item.station) {
                bytes += '\2';
                integer(bytes, courseOf(item));
                text(bytes, stationOf(item));
            }
        }
    }
    return digest(bytes);
}

EntryChain::Hash EntryChain::lineSeal(const Hash& head, const DayLine& line) {
    std::string bytes(head.begin(), head.end());
    integer(bytes, line.number);
    integer(bytes, line.openedAt);
    integer(bytes, line.closedAt.value_or(0));
    integer(bytes, line.customers);
    integer(bytes, line.revenue.cents());
    return digest(bytes);
}

EntryChain::Hash EntryChain::digest(const std::string& bytes) {
    sodiumReady();
    Hash hash{};
    crypto_generichash(hash.data(), hash.size(),
                       reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), nullptr,
                       0);
    return hash;
}
