// SPDX-License-Identifier: GPL-3.0-or-later
// Registering the simulated handheld's port in the library's vlnkw.ini, so a
// program that opens "COMn" reaches the simulator.
//
// This is the other end of the wire and shares no code with the library: it
// writes the ini file the way the library reads and writes it, on its own.
#pragma once

#include <string>

namespace vlnksim {

// vlnkw.ini in the library folder: $VLNK_DIR, else $XDG_CONFIG_HOME/vlnk, else
// ~/.config/vlnk, created when missing. When none of them can be used the
// current folder stands in, as it does for the library.
std::string LibraryIniPath();

// Sets key=value in the section, section and key names compared without regard
// to case; a missing section or key is added, every other line stays. The new
// text goes to a side file that replaces the ini in one rename, so the library
// never reads half of it. False when the file could not be written.
bool WriteIniKey(const std::string& file, const std::string& section, const std::string& key, const std::string& value);

} // namespace vlnksim
