// SPDX-License-Identifier: GPL-3.0-or-later
#include "filebytes.h"

#include "doc/dochost.h"
#include "doc/fileerror.h"

#include <algorithm>
#include <cerrno>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tresimport {

void MapInAdvance(const void* block, size_t bytes)
{
#ifdef MADV_POPULATE_WRITE
    static const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<uintptr_t>(block);
    const uintptr_t first = (start + page - 1) & ~(page - 1);
    const uintptr_t end = (start + bytes) & ~(page - 1);
    if (end > first) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
    (void)block;
    (void)bytes;
#endif
}

namespace {

constexpr int kGrewTooLarge = -1;

// Reads `fd` to its end into `out`, sized from `expected` (the size fstat
// gave) plus one byte that tells a file which grew since. Returns 0, an
// errno value, or kGrewTooLarge when the bytes pass kMaxSurveyFileSize (then
// out.size says how many were read).
int ReadAll(int fd, size_t expected, CFileBytes& out)
{
    size_t capacity = expected + 1;
    out.data = std::make_unique_for_overwrite<char[]>(capacity);
    MapInAdvance(out.data.get(), capacity);
    out.size = 0;
    for (;;) {
        if (out.size == capacity) {
            const size_t grown = std::min<size_t>(std::max<size_t>(capacity * 2, 65536), kMaxSurveyFileSize + 1);
            auto bigger = std::make_unique_for_overwrite<char[]>(grown);
            std::copy_n(out.data.get(), out.size, bigger.get());
            out.data = std::move(bigger);
            capacity = grown;
        }
        const ssize_t n = ::read(fd, out.data.get() + out.size, capacity - out.size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return 0;
        out.size += static_cast<size_t>(n);
        if (out.size > kMaxSurveyFileSize) return kGrewTooLarge;
    }
}

} // namespace

bool ReadWhole(int fd, const std::string& name, CDocHost& host, CFileBytes& out)
{
    int err = 0;
    struct stat st { };
    if (::fstat(fd, &st) != 0) {
        err = errno;
    } else if (S_ISDIR(st.st_mode)) {
        err = EISDIR;
    } else if (static_cast<uint64_t>(st.st_size) > kMaxSurveyFileSize) {
        host.ShowMessage(tresdoc::TooLargeText(name, static_cast<unsigned long long>(st.st_size)));
        return false;
    } else {
        // A pipe's size is 0: the buffer then grows as the bytes come.
        err = ReadAll(fd, static_cast<size_t>(st.st_size), out);
        if (err == kGrewTooLarge) {
            host.ShowMessage(tresdoc::TooLargeText(name, out.size));
            return false;
        }
    }
    if (err != 0) {
        host.ShowMessage(tresdoc::ReadErrorText(name, err));
        return false;
    }
    return true;
}

} // namespace tresimport
