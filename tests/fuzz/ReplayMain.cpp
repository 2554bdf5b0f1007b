// Replays saved inputs through a fuzz target in an ordinary build: every file of the folders
// given (and their subfolders) is fed to the target once, in name order. An input that crashes
// stops the program as it would stop the fuzzer; one that takes longer than the fuzzer's time
// limit, or a run that finds no input at all, fails.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzSupport.h"

namespace {

namespace fs = std::filesystem;

// The fuzzer's -timeout, so that an input slow enough to stop the fuzzer fails here too.
constexpr double kTimeLimitSeconds = 10.0;

std::vector<fs::path> InputFiles(const std::vector<fs::path>& roots) {
    std::vector<fs::path> files;
    for (const fs::path& root : roots) {
        if (fs::is_regular_file(root)) {
            files.push_back(root);
            continue;
        }
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(root, error);
             it != fs::recursive_directory_iterator(); it.increment(error))
            if (it->is_regular_file()) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<fs::path> files = InputFiles({argv + 1, argv + argc});
    if (files.empty()) {
        std::cerr << "No input to replay\n";
        return 1;
    }
    int slow = 0;
    for (const fs::path& file : files) {
        std::ifstream stream(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(stream), {}};
        const auto start = std::chrono::steady_clock::now();
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (took.count() > kTimeLimitSeconds) {
            std::cerr << file.string() << " took " << took.count() << " s\n";
            ++slow;
        }
    }
    std::cout << "Replayed " << files.size() << " inputs, " << slow << " too slow\n";
    return slow == 0 ? 0 : 1;
}
