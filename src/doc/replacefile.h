// SPDX-License-Identifier: GPL-3.0-or-later
// Every file the programs write - a survey, an export, a spreadsheet - takes
// its name only when it is complete: it is written under a temporary name
// beside the target, flushed to the disk and renamed over it, so a failed
// write never harms the file that was there and never leaves half a file.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tresdoc {

// Lets `writeContent` fill a temporary file beside `path` (through the open
// descriptor, or by its name: `tempPath` is where it lies), flushes it to
// the disk and renames it over `path`. A link at `path` is kept and the file
// it points to replaced; the new file takes the old one's permissions, else
// the umask's. Returns 0 or the errno of the step that failed (writeContent
// returns 0 or the errno of its failure); on failure the temporary file is
// gone and `path` is as it was.
int ReplaceFile(const std::string& path, const std::function<int(int fd, const std::string& tempPath)>& writeContent);

// The whole of `text` to `fd`; 0 or the errno of the failed write.
int WriteAll(int fd, std::string_view text);

// `text` as the whole new content of `path`.
int ReplaceFileWith(const std::string& path, std::string_view text);

// The whole content of `path` into `bytes` (a file kept or compared as it
// is, byte for byte); 0 or the errno of the failed step (EISDIR for a
// folder). `bytes` is left as it was on failure.
int ReadFileWhole(const std::string& path, std::string& bytes);

} // namespace tresdoc
