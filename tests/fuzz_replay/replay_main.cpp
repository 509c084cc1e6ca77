// Replays kept fuzzer inputs through a fuzz target's entry point, so that CI runs
// every corpus entry and every input that ever found a fault without needing Clang
// or libFuzzer. Each argument is a file or a folder whose files are replayed in name
// order (a folder that does not exist is skipped: a target may have no regressions).
// A fault stops the run the way it stops the fuzzer: through the sanitizers or the
// target's own check.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> inputsOf(const std::filesystem::path& argument) {
    std::vector<std::filesystem::path> inputs;
    std::error_code error;
    if (std::filesystem::is_regular_file(argument, error)) {
        inputs.push_back(argument);
    } else if (std::filesystem::is_directory(argument, error)) {
        for (const auto& item : std::filesystem::directory_iterator(argument, error)) {
            if (item.is_regular_file(error)) inputs.push_back(item.path());
        }
        std::sort(inputs.begin(), inputs.end());
    }
    return inputs;
}

void replay(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    // Every path is resolved before the first input runs: the session target works
    // inside a scratch folder of its own, where relative paths would mean nothing.
    std::vector<std::filesystem::path> inputs;
    for (int index = 1; index < argc; ++index) {
        for (const std::filesystem::path& path : inputsOf(argv[index])) {
            inputs.push_back(std::filesystem::absolute(path));
        }
    }
    for (const std::filesystem::path& path : inputs) replay(path);
    std::cerr << "replayed " << inputs.size() << " inputs\n";
    return inputs.empty() ? 1 : 0;
}
