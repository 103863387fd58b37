// SPDX-License-Identifier: GPL-3.0-or-later
// tres-layercheck ROOT: lists every include that runs against the layers of
// the source tree and exits 1 when there is one.
#include "layers.h"
#include "tresversion.h"

#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] = "Aufruf: tres-layercheck WURZEL\n"
                      "Nennt jedes #include, das gegen die Schichten des Quellbaums WURZEL läuft;\n"
                      "Exit-Status 1, wenn es eines gibt.\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("tres-layercheck " TRES_VERSION);
        return 0;
    }
    if (argc == 2 && argv[1][0] == '-' && argv[1][1] != '\0') {
        std::fprintf(stderr, "tres-layercheck: Unbekannte Option: %s\n%s", argv[1], kUsage);
        return 2;
    }
    if (argc != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const auto violations = layers::CheckTree(argv[1]);
    for (const auto& v : violations) std::printf("%s\n", layers::Describe(v).c_str());
    return violations.empty() ? 0 : 1;
}
