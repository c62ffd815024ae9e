#include "journal/PrivateCopy.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "journal/Journal.h"

namespace fs = std::filesystem;

PrivateCopy::PrivateCopy(const std::string& original) {
    std::string folderName = (fs::temp_directory_path() / "restaurant-journal-XXXXXX").string();
    if (mkdtemp(folderName.data()) == nullptr) {
        throw JournalError("cannot read journal " + original +
                           ": its folder cannot be written, and no copy can be made");
    }
    folder = folderName;
    std::error_code error;
    fs::copy_file(original, journal(), error);
    fs::copy_file(original + "-wal", journal() + "-wal", error);
}

PrivateCopy::~PrivateCopy() {
    std::error_code error;
    fs::remove_all(folder, error);
}

std::string PrivateCopy::journal() const { return folder + "/journal.db"; }
