// SPDX-License-Identifier: GPL-3.0-or-later
// A fuzz target's entry as a plain program: every file named, and every file
// under a folder named, goes once through LLVMFuzzerTestOneInput. The seeds
// and the inputs that once crashed stay in the default test run this way,
// built by the normal compiler; a target's own check (a trap, an abort) or a
// sanitizer ends the run with the file's name printed before it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

namespace {

bool Collect(const fs::path& arg, std::vector<fs::path>& files)
{
    std::error_code ec;
    if (fs::is_directory(arg, ec)) {
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(arg, ec))
            if (e.is_regular_file()) files.push_back(e.path());
    } else if (fs::is_regular_file(arg, ec)) {
        files.push_back(arg);
    } else {
        std::fprintf(stderr, "replay: %s is neither a file nor a folder\n", arg.c_str());
        return false;
    }
    return !ec;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i)
        if (!Collect(argv[i], files)) return 2;
    // An empty corpus would pass without feeding anything.
    if (files.empty()) {
        std::fprintf(stderr, "replay: no input files\n");
        return 2;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (!in.eof() && in.fail()) {
            std::fprintf(stderr, "replay: cannot read %s\n", file.c_str());
            return 2;
        }
        std::printf("replay: %s (%zu bytes)\n", file.c_str(), bytes.size());
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("replay: %zu inputs, no fault\n", files.size());
    return 0;
}
