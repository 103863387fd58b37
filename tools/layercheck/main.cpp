// SPDX-License-Identifier: GPL-3.0-or-later
// tres-layercheck ROOT: lists every include that runs against the layers of
// the source tree and exits 1 when there is one.
#include "layers.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tres-layercheck ROOT\n");
        return 2;
    }
    const auto violations = layers::CheckTree(argv[1]);
    for (const auto& v : violations) std::printf("%s\n", layers::Describe(v).c_str());
    return violations.empty() ? 0 : 1;
}
