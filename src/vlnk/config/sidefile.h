// SPDX-License-Identifier: LGPL-2.1-or-later
// Files the library replaces as a whole - the ini file, the trimmed log, a
// received file, the CMDVLNK result - are written under a side name in the
// same folder and renamed over the old one when complete.
//
// The library folder and a receive's target folder may be shared with other
// users, who could plant a link under a side name they can guess. So a side
// name is unpredictable and the file is created exclusively: a link or file
// found there is never followed or truncated. A file the library only reads
// or appends to must be a regular file: a FIFO planted in its place would
// block the open for as long as nobody writes to it.
#pragma once

#include <string>
#include <sys/types.h>

namespace vlnk {

// The permissions the file that replaces `target` gets: the target's own
// when it exists, else those a newly created file would get under the
// process's umask.
mode_t ReplacementMode(const std::string& target);

// Creates an unused file "<target>.XXXXXX" with ReplacementMode(target);
// its name goes to `path`. The descriptor, or -1 (errno set).
int CreateSideFile(const std::string& target, std::string& path);

// Makes the side file's data durable and renames it over `target`; the side
// file is removed when any step fails. Closes `fd` in every case. 0 or the
// errno of the failed step.
int CommitSideFile(int fd, const std::string& path, const std::string& target);

// Opens `path` for reading without blocking; -1 when it cannot be opened or
// is not a regular file (errno EINVAL then).
int OpenRegularForRead(const std::string& path);

// Whether nothing or a regular file is at `path` (links followed): a file
// the library may create or replace there.
bool RegularOrAbsent(const std::string& path);

} // namespace vlnk
