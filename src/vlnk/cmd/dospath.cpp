// SPDX-License-Identifier: LGPL-2.1-or-later
#include "dospath.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <sys/stat.h>

namespace vlnk {
namespace {

bool SameLetter(char a, char b)
{
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
}

} // namespace

std::string DosValueToPath(std::string_view value)
{
    if (value.size() >= 2 && std::isalpha(static_cast<unsigned char>(value[0])) && value[1] == ':')
        value.remove_prefix(2);
    std::string path(value);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

PcPattern SplitPcPattern(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {"", path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// Backtracks only to the last "*", so no pattern can make it exponential.
bool WildcardMatch(std::string_view pattern, std::string_view name)
{
    if (pattern == "*.*") return true;
    size_t p = 0, n = 0;
    size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || SameLetter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::vector<PcFile> MatchingPcFiles(const PcPattern& pattern)
{
    std::vector<PcFile> files;
    const std::string dir = pattern.dir.empty() ? "." : pattern.dir;
    DIR* folder = opendir(dir.c_str());
    if (!folder) return files;
    while (const dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !WildcardMatch(pattern.name, name)) continue;
        struct stat st { };
        if (stat((pattern.dir + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        files.push_back({name, static_cast<unsigned long>(st.st_size)});
    }
    closedir(folder);
    std::sort(files.begin(), files.end(), [](const PcFile& a, const PcFile& b) { return a.name < b.name; });
    return files;
}

} // namespace vlnk
