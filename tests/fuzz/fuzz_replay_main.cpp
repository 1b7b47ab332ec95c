// Runs a fuzz entry point once over every file of the folders (or files) named on the command
// line, so the committed corpora are checked by every build and, in the sanitizer build, under
// AddressSanitizer and UndefinedBehaviorSanitizer, without libFuzzer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> Inputs(const std::filesystem::path& where) {
    std::vector<std::filesystem::path> inputs;
    if (std::filesystem::is_directory(where)) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(where))
            if (entry.is_regular_file()) inputs.push_back(entry.path());
    } else {
        inputs.push_back(where);
    }
    return inputs;
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t count = 0;
    for (int a = 1; a < argc; ++a) {
        if (!std::filesystem::exists(argv[a])) {
            std::fprintf(stderr, "fuzz replay: %s does not exist\n", argv[a]);
            return 1;
        }
        for (const auto& input : Inputs(argv[a])) {
            std::ifstream in(input, std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in), {}};
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++count;
        }
    }
    // ctest reads this line: a corpus that has gone missing must not pass as an empty run.
    std::printf("%zu inputs replayed\n", count);
    return count > 0 ? 0 : 1;
}
