// SPDX-License-Identifier: LGPL-2.1-or-later
// Private-profile (ini) files: sections of "key=value" lines.
//
// Section and key names compare without regard to case. A missing file,
// section or key yields the default. Writing a key keeps every other line of the
// file as it was; the file is replaced in one rename, so a reader in another
// process never sees half of it. Anything but a regular file in the file's
// place (a FIFO would block every reader) reads as absent and is never
// replaced.
#pragma once

#include <string>

namespace vlnk::profile {

// The value of a key with surrounding blanks (and one pair of enclosing quotes)
// removed, or `def` when the key is absent.
std::string GetString(const std::string& file, const char* section, const char* key, const char* def);

// The key read as a decimal number (leading digits; text without any gives 0),
// or `def` when the key is absent.
unsigned GetInt(const std::string& file, const char* section, const char* key, unsigned def);

// Sets the key, adding the section or the key when missing. False when the
// file could not be written.
bool WriteString(const std::string& file, const char* section, const char* key, const std::string& value);

// Removes the section with all its keys. True when the file is as wanted
// afterwards (also when there was no such section or no file).
bool DeleteSection(const std::string& file, const char* section);

} // namespace vlnk::profile
