#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "journal/DayRecord.h"
#include "journal/JournalEntry.h"
#include "menu/Menu.h"

// EntryChain links a journal's entries by hash, so that damage to any of them
// shows: each entry's hash is BLAKE2b-256 (libsodium's crypto_generichash)
// of the hash before it and of the entry's canonical encoding. A day's first
// entry follows the last hash of the day before; the very first follows 32
// zero bytes.
//
// The canonical encoding, which another program can recompute to verify a
// journal, is these fields in this order:
//
//   day       signed 64-bit integer
//   seq       signed 64-bit integer
//   type      signed 64-bit integer (JournalEntry::Type's number)
//   at        signed 64-bit integer, seconds since the Unix epoch
//   customer  optional integer
//   item      optional integer
//   kind      optional integer: 0 dish, 1 snack, 2 drink
//   name      optional text
//   price     optional integer, cents
//   cost      optional integer, cents
//   sale_id   optional text
//   label     optional text
//   vat       optional integer, hundredths of a percent
//   method    optional text
//   given     optional integer, cents
//   reason    optional text
//   staff     optional text
//   opened    optional integer, seconds since the Unix epoch
//   customers optional integer
//   revenue   optional integer, cents
//
// Integers are 8 bytes, big-endian, two's complement. An optional field is
// one byte, 0 when absent or 1 when present, followed when present by its
// integer, or by its text as a 4-byte big-endian length and that many bytes
// of UTF-8. Optional fields absent at the end of the list are left out
// altogether, so that fields added to the end in later versions leave the
// hashes of older entries as they were.
class EntryChain {
public:
    using Hash = std::array<unsigned char, 32>;

    // The hash before a journal's very first entry.
    static Hash genesis();
    // Returns the hash of `entry` following `before`.
    static Hash next(const Hash& before, const JournalEntry& entry);
    // Returns the canonical encoding of the entry, as hashed.
    static std::string encoding(const JournalEntry& entry);

    // Returns the hash that seals a stored menu: BLAKE2b-256 of the file's
    // name (text), the moment it was imported (integer), then for every
    // item, by kind and in menu order, its kind (integer), name (text),
    // price and cost (integers, cents), encoded as above but without
    // presence bytes, and for an item with a VAT rate of its own, the byte 1
    // and the rate (integer, hundredths of a percent).
    static Hash menuHash(const Menu& menu, const std::string& file, Moment importedAt);

    // Returns the hash that seals one of the restaurant's settings: that of
    // its key, a zero byte and its value.
    static Hash settingHash(const std::string& key, const std::string& value);

    // Returns the hash that seals a day's line kept beside the chain, for a
    // day closed before lines were written with the close: that of the
    // day's last hash, then its number, when it opened and closed, its
    // customers and revenue (integers).
    static Hash lineSeal(const Hash& head, const DayLine& line);

    // Returns BLAKE2b-256 of the bytes.
    static Hash digest(const std::string& bytes);

private:
    static void encodeInto(std::string& out, const JournalEntry& entry);
};
