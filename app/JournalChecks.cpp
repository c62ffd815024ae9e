#include "app/JournalChecks.h"

#include <iostream>
#include <optional>

#include "journal/SigningKey.h"
#include "journal/SqliteJournal.h"
#include "service/DayService.h"

namespace {

constexpr int failed = 1;

}  // namespace

int verifyJournal(const std::string& path, bool newAnchor, const std::string& publicKey) {
    const auto said = [](std::int32_t day, std::int64_t records) {
        std::cout << "Day " << day << ": " << records << " records, each as it was written\n";
    };
    const std::optional<std::string> trusted =
        publicKey.empty() ? std::nullopt : std::optional<std::string>(publicKey);
    if (!newAnchor) {
        SqliteJournal(path, SqliteJournal::Access::checking).verify(said, trusted);
        return 0;
    }
    SqliteJournal journal(path, SqliteJournal::Access::reanchoring);
    journal.verify(said, trusted);
    journal.recordNewAnchor(DayService::systemClock(), "verify --new-anchor");
    std::cout << "Wrote a new anchor, " << path << "-head, and recorded it in the open day"
              << std::endl;
    return 0;
}

int printKey(SqliteJournal& reader) {
    const std::optional<std::string> hex = reader.chainKey();
    const std::optional<SigningKey::PublicKey> key = SigningKey::keyOfHex(hex.value_or(""));
    if (!key) {
        std::cerr << "restaurant: " << reader.description()
                  << " names no signing key yet: a till names its key when it opens a day"
                  << std::endl;
        return failed;
    }
    std::cout << "Public key:  " << *hex << "\nFingerprint: " << SigningKey::fingerprintOf(*key)
              << std::endl;
    return 0;
}
