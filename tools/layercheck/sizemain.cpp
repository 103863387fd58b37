// SPDX-License-Identifier: GPL-3.0-or-later
// tres-sizecheck ROOT [--top N]: lists every file under ROOT/src longer than
// 700 lines and every function longer than 120 and exits 1 when there is
// one; with --top, the N longest files and functions as well.
#include "sizes.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--top")) {
        std::fprintf(stderr, "usage: tres-sizecheck ROOT [--top N]\n");
        return 2;
    }
    const auto sizes = sizes::MeasureTree(argv[1]);
    if (argc == 4) {
        const size_t top = std::strtoul(argv[3], nullptr, 10);
        std::printf("longest files:\n");
        for (size_t i = 0; i < top && i < sizes.files.size(); ++i)
            std::printf("  %s\n", sizes::Describe(sizes.files[i]).c_str());
        std::printf("longest functions:\n");
        for (size_t i = 0; i < top && i < sizes.functions.size(); ++i)
            std::printf("  %s\n", sizes::Describe(sizes.functions[i]).c_str());
        std::printf("over the limits:\n");
    }
    const auto over = sizes::OverLimits(sizes);
    for (const auto& m : over) std::printf("%s\n", sizes::Describe(m).c_str());
    return over.empty() ? 0 : 1;
}
