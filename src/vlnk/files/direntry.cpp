// SPDX-License-Identifier: LGPL-2.1-or-later
#include "direntry.h"

#include <cstdio>
#include <cstring>

#include "frame.h"

namespace vlnk {

DirEntryRecord ParseDirEntry(const uint8_t* payload, size_t size)
{
    DirEntryRecord entry;
    const size_t field = std::min<size_t>(13, size);
    const auto* name = reinterpret_cast<const char*>(payload);
    entry.name.assign(name, strnlen(name, field));
    if (entry.name.size() > 12) entry.name.resize(12);
    entry.size = ReplyU32(payload, size, 13);
    entry.attributes = size > 17 ? payload[17] : 0;
    entry.date = ReplyU16(payload, size, 18);
    entry.time = ReplyU16(payload, size, 20);
    return entry;
}

std::string FormatDirLine(const DirEntryRecord& e)
{
    char attributes[8] = "       ";
    const struct {
        int column;
        uint8_t bit;
    } letters[] = {{0, 0x20}, {1, 0x02}, {3, 0x01}, {4, 0x10}, {5, 0x04}, {6, 0x08}};
    for (const auto& letter : letters)
        if (e.attributes & letter.bit) attributes[letter.column] = "AHNRDSV"[letter.column];
    unsigned year = (e.date >> 9) + 80u;
    while (year >= 100) year -= 100;
    char date[32];
    std::snprintf(date, sizeof date, "%.2u/%.2u/%.2u %.2u:%.2u", e.date & 0x1Fu, (e.date >> 5) & 0x0Fu, year,
                  (e.time >> 11) & 0x1Fu, (e.time >> 5) & 0x3Fu);
    char line[96];
    std::snprintf(line, sizeof line, "%-12.12s %9lu %s %s", e.name.c_str(), static_cast<unsigned long>(e.size),
                  attributes, date);
    return line;
}

} // namespace vlnk
