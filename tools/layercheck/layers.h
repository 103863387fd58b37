// SPDX-License-Identifier: GPL-3.0-or-later
// The layers of the source tree and the one rule between them: a file
// includes only from its own layer and the layers its layer builds on.
//
// A file's layer is its folder (src/doc, src/views, ..., tools/viewer); the
// serial-link library has layers of its own inside (config, port, protocol,
// files, the library, cmd), and its public header is open to its callers;
// the batch tool's Qt half (src/tool/qt) is a layer apart from the tool.
// Quoted includes are resolved as the compiler does (beside the file first,
// then by name among the tree's headers); angle includes count only when
// they name a Qt header, which the bottom layers must not use.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace layers {

struct CViolation {
    std::filesystem::path file; // relative to the root
    int line = 0;
    std::string include; // as written between the quotes or brackets
    std::string reason;
};

// Checks every source file under ROOT/src and ROOT/tools.
std::vector<CViolation> CheckTree(const std::filesystem::path& root);

// "src/doc/tredoc.h:12: includes \"mainframe.h\" (app): doc may not include app"
std::string Describe(const CViolation& v);

} // namespace layers
