/* SPDX-License-Identifier: LGPL-2.1-or-later */
/* The directory line VLNKGetDirectory hands out, read back: for the
   library's own CMDVLNK and for its callers, which share the one reading of
   the line and the one rule for names that would leave a folder on the PC.
   Header-only C++ beside the C interface, so the library's exports stay as
   they are. */
#pragma once

#include <cstdlib>
#include <string>
#include <string_view>

namespace vlnkline {

/* A name that would reach outside a folder on the PC: a path separator, or
   "..". The directory entries "." and ".." themselves are harmless. */
inline bool IsUnsafeName(std::string_view name, bool isDirectory)
{
    if (isDirectory && (name == "." || name == "..")) return false;
    return name.find_first_of("/\\") != std::string_view::npos || name.find("..") != std::string_view::npos;
}

struct CDirLine {
    std::string name; /* the 12 name columns without trailing blanks */
    unsigned long size = 0;
    bool bDirectory = false;
    std::string date; /* "dd/mm/yy hh:mm" as the handheld keeps it */
};

/* "%-12.12s %9lu %s %s": the name, the size, the attribute letters
   "AHNRDSV" (blank when clear) and the date. A line cut short gives what it
   holds; fields past its end stay empty. */
inline CDirLine ParseDirLine(std::string_view line)
{
    constexpr size_t kNameColumns = 12, kAttributeColumns = 7;
    CDirLine entry;
    entry.name = std::string(line.substr(0, kNameColumns));
    while (!entry.name.empty() && entry.name.back() == ' ') entry.name.pop_back();
    if (line.size() <= kNameColumns) return entry;
    const std::string rest(line.substr(kNameColumns));
    char* end = nullptr;
    entry.size = std::strtoul(rest.c_str(), &end, 10);
    std::string_view attributes(end);
    if (!attributes.empty() && attributes.front() == ' ') attributes.remove_prefix(1);
    entry.bDirectory = attributes.size() > 4 && attributes[4] == 'D';
    if (attributes.size() > kAttributeColumns + 1) entry.date = std::string(attributes.substr(kAttributeColumns + 1));
    return entry;
}

} // namespace vlnkline
