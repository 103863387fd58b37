// SPDX-License-Identifier: GPL-3.0-or-later
// A survey file's bytes, read whole before any reader parses them, whatever
// the file's format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class CDocHost;

namespace tresimport {

// Files larger than this are refused whole rather than read in part.
inline constexpr uint64_t kMaxSurveyFileSize = 256ull * 1024 * 1024;

// One buffer that is not cleared first: readers parse from it in place.
struct CFileBytes {
    std::unique_ptr<char[]> data;
    size_t size = 0;
    std::string_view View() const { return {data.get(), size}; }
};

// Reads the open `fd` to its end into `out`. False, with the German message
// (naming `name`) shown by `host`, when it cannot be read, is a folder or
// holds more than kMaxSurveyFileSize bytes.
bool ReadWhole(int fd, const std::string& name, CDocHost& host, CFileBytes& out);

// Asks the kernel to map a new block's pages in one call. The file's
// buffer and the rows are written from end to end at once; page by page,
// each first touch is a fault of its own, which costs more than the parsing
// (on a virtual machine several times more). Without the call - an older
// kernel - the pages simply fault as before.
void MapInAdvance(const void* block, size_t bytes);

} // namespace tresimport
