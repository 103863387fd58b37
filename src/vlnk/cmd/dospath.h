// SPDX-License-Identifier: LGPL-2.1-or-later
// PC paths of the command language. Values are written in the DOS form,
// because "/" separates the commands: "\" separates folders and a leading
// drive ("C:") means nothing on this side. File names match DOS wildcards as
// the handheld matches them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vlnk {

// "C:\home\survey\*.TSD" -> "/home/survey/*.TSD"; "data\a.tsd" -> "data/a.tsd"
// (relative to the current directory).
std::string DosValueToPath(std::string_view value);

// A path cut after its last "/": the folder (empty, or ending with "/") and
// the file name or pattern.
struct PcPattern {
    std::string dir;
    std::string name;
};
PcPattern SplitPcPattern(const std::string& path);

// DOS wildcards without regard to case: "*" any run, "?" one character, and
// "*.*" every name, with or without a dot. Linear in the lengths.
bool WildcardMatch(std::string_view pattern, std::string_view name);

struct PcFile {
    std::string name;
    unsigned long size = 0;
};
// The regular files of the pattern's folder whose names match, sorted by name.
// A folder that cannot be read has none.
std::vector<PcFile> MatchingPcFiles(const PcPattern& pattern);

} // namespace vlnk
