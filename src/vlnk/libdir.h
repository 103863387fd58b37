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

}  // namespace vlnk
