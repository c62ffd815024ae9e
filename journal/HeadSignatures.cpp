#include "journal/HeadSignatures.h"

#include <cstring>
#include <utility>

#include "base/Hex.h"

HeadSignatures::HeadSignatures(std::map<std::int32_t, std::string> signatures,
                               std::optional<std::string> trusted)
    : signatures(std::move(signatures)), trusted(std::move(trusted)) {}

std::string HeadSignatures::message(const EntryTable::Day& row) {
    std::string bytes = "restaurant day head";
    for (const std::int64_t value : {std::int64_t{row.number}, row.entries}) {
        for (int shift = 56; shift >= 0; shift -= 8) {
            bytes += static_cast<char>(static_cast<std::uint64_t>(value) >> shift & 0xff);
        }
    }
    bytes.append(reinterpret_cast<const char*>(row.head.data()), row.head.size());
    return bytes;
}

void HeadSignatures::see(const JournalEntry& entry) {
    if (entry.type != JournalEntry::Type::key) {
        return;
    }
    named = SigningKey::keyOfHex(entry.name.value_or(""));
    trustedNamed = trustedNamed || (named && trusted && SigningKey::matches(*named, *trusted));
}

std::optional<HeadSignatures::Fault> HeadSignatures::faultOf(const EntryTable::Day& row,
                                                             bool closed) {
    const auto signature = signatures.find(row.number);
    if (signature == signatures.end()) {
        if (closed && named) {
            return Fault{true, "'s head is not signed, though the chain names a key"};
        }
        return std::nullopt;
    }
    SigningKey::Signature bytes{};
    if (!named || !closed || signature->second.size() != bytes.size()) {
        return Fault{true, "'s head carries a signature no key of the chain made"};
    }
    std::memcpy(bytes.data(), signature->second.data(), bytes.size());
    if (!SigningKey::verify(*named, message(row), bytes)) {
        return Fault{true, "'s head is not signed by the key the chain names"};
    }
    if (trusted && !SigningKey::matches(*named, *trusted)) {
        return Fault{false, " is signed by the key " + SigningKey::fingerprintOf(*named) +
                                ", not by " + *trusted};
    }
    return std::nullopt;
}

std::optional<std::string> HeadSignatures::finalFault() const {
    if (trusted && !trustedNamed) {
        return "its chain never names the key " + *trusted;
    }
    return std::nullopt;
}

void HeadSignatures::sign(EntryTable& table, const SigningKey& key, const EntryTable::Day& row) {
    const SigningKey::Signature signature = key.sign(message(row));
    table.putSignature(row.number, std::string(signature.begin(), signature.end()));
}

std::optional<Journal::SignedHead> HeadSignatures::signedHead(EntryTable& table,
                                                              std::int32_t number) {
    const std::optional<EntryTable::Day> row = table.dayRow(number);
    const std::optional<std::string> signature = table.signatureOf(number);
    const std::optional<std::string> key = table.lastKey(number);
    if (!row || !signature || !key) {
        return std::nullopt;
    }
    return Journal::SignedHead{number, row->entries, hexOf(row->head.data(), row->head.size()),
                               hexOf(signature->data(), signature->size()), *key};
}
