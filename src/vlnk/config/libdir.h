// SPDX-License-Identifier: LGPL-2.1-or-later
// The folder that holds the library's ini file, log and work files.
#pragma once

#include <string>

namespace vlnk {

// $VLNK_DIR when set, else $XDG_CONFIG_HOME/vlnk, else ~/.config/vlnk; created on
// first use. When none of them can be used the current directory stands in, so
// the library keeps working (with its files beside the caller) instead of failing.
std::string LibraryDir();

// Full path of a file in the library folder.
std::string LibraryFile(const char* name);

// The ini file every setting lives in.
std::string IniPath();

// Whether SYSTEM32 below the library folder takes a test file (removed again).
// Only chooses how a firmware download is paced.
bool ProbeSystemDir();

// The answer the probe gave when the library loaded; false while none is
// loaded. The answer belongs to the session, which lends it here when the
// library loads and takes it back (null) before it goes.
bool SystemDirWritable();
void SetSystemDirFlag(const bool* writable);

} // namespace vlnk
