// Runs a fuzz target over the files given, or every file in the folders
// given, so the seed corpus is checked by any compiler, without libFuzzer.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t replayed = 0;
    for (int at = 1; at < argc; ++at) {
        const std::filesystem::path given(argv[at]);
        if (std::filesystem::is_directory(given)) {
            for (const auto& entry : std::filesystem::directory_iterator(given)) {
                replay(entry.path());
                ++replayed;
            }
        } else {
            replay(given);
            ++replayed;
        }
    }
    std::cout << "replayed " << replayed << " inputs" << std::endl;
    return replayed > 0 ? 0 : 1;
}
