// SPDX-License-Identifier: LGPL-2.1-or-later
// DirEntryRecord: one handheld directory entry as the reply to "D" carries
// it, and the directory line the library hands out for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "vlnkdirline.h"

namespace vlnk {

inline constexpr uint8_t kAttrDirectory = 0x10;
// The bytes of a record up to its time field; the handheld sends a NUL after it.
inline constexpr size_t kDirEntrySize = 22;

struct DirEntryRecord {
    std::string name; // at most 12 characters (8.3)
    uint32_t size = 0;
    uint8_t attributes = 0;
    uint16_t date = 0; // DOS: day bits 0-4, month 5-8, years since 1980 9-15
    uint16_t time = 0; // DOS: minutes bits 5-10, hours 11-15
};

// Reads a record from a reply payload; missing bytes count as 0 and a name
// without its NUL ends at the field.
DirEntryRecord ParseDirEntry(const uint8_t* payload, size_t size);

// "%-12.12s %9lu %s %s": name, size, the attribute letters of "AHNRDSV" (blank
// when clear) and "DD/MM/YY HH:MM".
std::string FormatDirLine(const DirEntryRecord& entry);

// A name that would reach outside a folder on the PC (one rule for the
// library and its callers).
using vlnkline::IsUnsafeName;

} // namespace vlnk
