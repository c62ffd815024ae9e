#include "control/ControlPath.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sys/un.h>

namespace {

// FNV-1a: stable between builds, so that a client and a till of different
// builds find the same name.
std::string hashOf(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char byte : text) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ULL;
    }
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (int shift = 60; shift >= 0; shift -= 4) {
        hex += digits[(hash >> shift) & 0xf];
    }
    return hex;
}

}  // namespace

std::string ControlPath::of(const std::string& journalPath) {
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(journalPath, failed);
    std::string beside = (failed ? journalPath : absolute.string()) + ".sock";
    if (beside.size() < sizeof(sockaddr_un::sun_path)) {
        return beside;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = runtime != nullptr && *runtime != '\0' ? runtime : "/tmp";
    return folder + "/restaurant-" + hashOf(beside) + ".sock";
}
