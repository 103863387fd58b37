// SPDX-License-Identifier: GPL-3.0-or-later
#include "handheldlink.h"

#include "vlnkdirline.h"

namespace treshandheld {

CDirEntry EntryOfLine(std::string_view line)
{
    vlnkline::CDirLine l = vlnkline::ParseDirLine(line);
    return {std::move(l.name), l.size, l.bDirectory, std::move(l.date)};
}

bool IsUnsafeName(std::string_view name, bool isDirectory) { return vlnkline::IsUnsafeName(name, isDirectory); }

} // namespace treshandheld
