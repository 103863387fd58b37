// SPDX-License-Identifier: LGPL-2.1-or-later
// The command line of CMDVLNK made from a program's arguments.
#pragma once

#include <string>
#include <vector>

namespace cmdvlnk {

// Joins the arguments with blanks, each one a token of its own. Every "/"
// that cannot begin a command becomes "\", the folder separator of the
// command language, so POSIX paths can be written as they are
// ("/RX=/home/survey/*.TSD"), while one argument may still hold several
// commands ("/PORT=1/NOSCREEN/DATE") as the line given to CMDVLNK may. A "/"
// begins a command when a name of the command table follows it (without
// regard to case) and then, for a command with a value, "=" or ":"; for one
// without, the end of the argument, a blank or a "/" that itself begins a
// command. So a folder named like such a command ("/data/dir/x.tsd") stays a
// folder, except as the last part of an argument. An argument's leading "/"
// always begins a token. An argument without one continues the value before
// it (a path with a blank in it, given without quotes) and is turned the same
// way.
std::string JoinArguments(const std::vector<std::string>& args);

} // namespace cmdvlnk
