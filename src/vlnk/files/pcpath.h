// SPDX-License-Identifier: LGPL-2.1-or-later
// PC paths of the file transfers and the handheld names made from them.
#pragma once

#include <ctime>
#include <string>

namespace vlnk {

// The last component of a PC path, upper-cased: the name the handheld gets.
std::string HandheldName(const std::string& pcPath);

// Empty, or with a wildcard: no file to transfer.
bool IsInvalidTransferName(const std::string& pcPath);

// A path that could put a received file outside the folder it names: a ".."
// component, or a name that carries a DOS path separator.
bool ReachesOutside(const std::string& pcPath);

// A DOS date and time as local calendar time (seconds 0; daylight saving as
// the system decides). -1 when the fields do not form a date.
std::time_t DosToTime(unsigned date, unsigned time);

// Sets the access and modification time; false on failure.
bool SetFileDateTime(const std::string& path, std::time_t when);

// The first regular file of that name in the folders of $PATH; empty when none.
std::string FindOnPath(const std::string& name);

} // namespace vlnk
