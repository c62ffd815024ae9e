#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "journal/EntryTable.h"
#include "journal/Journal.h"
#include "journal/JournalEntry.h"
#include "journal/SigningKey.h"

// HeadSignatures checks the signed heads of a journal's days, as a check
// reads the days in order: each day closed once the chain names a key must
// be signed by that key, and a day signed while the chain names none is
// damage. Given the fingerprint of the key an accountant holds, every
// signed day must be signed by it, and the chain must name it.
class HeadSignatures {
public:
    HeadSignatures(std::map<std::int32_t, std::string> signatures,
                   std::optional<std::string> trusted);

    // Returns what a day's head signs: its number, its count of records and
    // their last hash.
    static std::string message(const EntryTable::Day& row);
    // Signs a day's head as the day closes, into the journal's table.
    static void sign(EntryTable& table, const SigningKey& key, const EntryTable::Day& row);
    // Returns a signed day's head, with the key the chain names for it, or
    // nothing for a day not signed.
    static std::optional<Journal::SignedHead> signedHead(EntryTable& table, std::int32_t number);

    // Notes a record of the chain: a key it names signs the closes after.
    void see(const JournalEntry& entry);
    // What is wrong with a day's signature: damage, or a sound signature by
    // a key other than the one trusted.
    struct Fault {
        bool damage = true;
        std::string what;
    };
    // Returns what is wrong with the signature of a day just read, if
    // anything.
    [[nodiscard]] std::optional<Fault> faultOf(const EntryTable::Day& row, bool closed);
    // Returns what is wrong once every day is read, if anything.
    [[nodiscard]] std::optional<std::string> finalFault() const;

private:
    std::map<std::int32_t, std::string> signatures;
    std::optional<std::string> trusted;
    std::optional<SigningKey::PublicKey> named;
    bool trustedNamed = false;
};
