// SPDX-License-Identifier: LGPL-2.1-or-later
#include "pcpath.h"

#include <cctype>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

namespace vlnk {

std::string HandheldName(const std::string& pcPath)
{
    const size_t slash = pcPath.find_last_of('/');
    std::string name = slash == std::string::npos ? pcPath : pcPath.substr(slash + 1);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

bool IsInvalidTransferName(const std::string& pcPath)
{
    return pcPath.empty() || pcPath.find_first_of("?*") != std::string::npos;
}

bool ReachesOutside(const std::string& pcPath)
{
    size_t start = 0;
    for (;;) {
        const size_t end = pcPath.find('/', start);
        const std::string part = pcPath.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part == "..") return true;
        if (end == std::string::npos) return part.find('\\') != std::string::npos || part == ".";
        start = end + 1;
    }
}

std::time_t DosToTime(unsigned date, unsigned time)
{
    std::tm tm{};
    tm.tm_mday = static_cast<int>(date & 0x1F);
    tm.tm_mon = static_cast<int>((date >> 5) & 0x0F) - 1;
    tm.tm_year = static_cast<int>(date >> 9) + 80;
    tm.tm_hour = static_cast<int>((time >> 11) & 0x1F);
    tm.tm_min = static_cast<int>((time >> 5) & 0x3F);
    tm.tm_sec = 0;
    tm.tm_isdst = -1;
    if (tm.tm_mday < 1 || tm.tm_mon < 0 || tm.tm_mon > 11) return -1;
    return std::mktime(&tm);
}

bool SetFileDateTime(const std::string& path, std::time_t when)
{
    if (when == -1) return false;
    const timespec times[2] = {{when, 0}, {when, 0}};
    return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

std::string FindOnPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    if (!path) return {};
    const std::string folders = path;
    size_t start = 0;
    for (;;) {
        const size_t end = folders.find(':', start);
        // An empty entry means the current folder.
        std::string candidate = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (candidate.empty()) candidate.push_back('.');
        candidate.push_back('/');
        candidate.append(name);
        struct stat st { };
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return candidate;
        if (end == std::string::npos) return {};
        start = end + 1;
    }
}

} // namespace vlnk
