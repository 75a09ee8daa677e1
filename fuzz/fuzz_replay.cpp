// Runs a fuzz target on every file of its corpus folders, as the libFuzzer program would replay
// them, so each build checks the seeds and the inputs of past findings (under the sanitizers in
// the sanitizer build). Arguments: one or more folders or files.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

std::vector<std::filesystem::path> inputsOf(const std::filesystem::path& given) {
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(given)) {
        for (const auto& entry : std::filesystem::directory_iterator(given))
            if (entry.is_regular_file())
                files.push_back(entry.path());
    } else {
        files.push_back(given);
    }
    return files;
}

} // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize != nullptr)
        LLVMFuzzerInitialize(&argc, &argv);
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& path : inputsOf(argv[i])) {
            std::ifstream in(path, std::ios::binary);
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                                  std::istreambuf_iterator<char>()};
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++count;
        }
    }
    // A folder that lost its files would pass without checking anything.
    if (count == 0) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    std::printf("replayed %zu inputs\n", count);
    return 0;
}
