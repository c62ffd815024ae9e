#include "app/JournalChecks.h"

#include <iostream>
#include <optional>
#include <unistd.h>

#include "console/ProgressLine.h"
#include "journal/ChainedDays.h"
#include "journal/SigningKey.h"
#include "journal/SqliteJournal.h"
#include "service/DayService.h"

namespace {

constexpr int failed = 1;

// Its count of days, for the progress shown on a terminal; 0 when unknown.
std::size_t daysOf(const std::string& path) {
    try {
        return ChainedDays(path).heads().size();
    } catch (const JournalError&) {
        return 0;
    }
}

}  // namespace

// On a terminal the check shows how far it has come below the days' lines.
int verifyJournal(const std::string& path, bool newAnchor, const std::string& publicKey) {
    const bool terminal = isatty(STDOUT_FILENO) != 0;
    ProgressLine line(std::cout, terminal);
    const std::size_t days = terminal ? daysOf(path) : 0;
    std::size_t checked = 0;
    long long records = 0;
    const auto said = [&](std::int32_t day, std::int64_t count) {
        line.wipe();
        std::cout << "Day " << day << ": " << count << " records, each as it was written\n";
        records += count;
        line.show("Verifying: " + std::to_string(++checked) + " of " + std::to_string(days) +
                      " days, " + std::to_string(records) + " records, " +
                      std::to_string(line.perSecond(records)) + " records/s",
                  true);
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
    line.wipe();
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
