// SPDX-License-Identifier: GPL-3.0-or-later
// render, print and report draw with Qt, which the document commands must not pay
// for at start-up: they run in tresmon-tool-qt, which this process becomes.
#pragma once

#include <string>

// Whether this build has the Qt half at all.
bool HaveQtCommands();

// Whether `command` is one of the commands tresmon-tool-qt carries out.
bool IsQtCommand(const std::string& command);

// Replaces the process by tresmon-tool-qt with the same arguments (argv[0]
// being the command's name), so output and exit code are that program's.
// It is looked for beside this program first, then in the installed
// libexec folder relative to it. Returns only when that fails: the German
// message is printed and the result is the exit code (2 when the program
// is missing, 1 in a build without Qt).
int RunQtCommand(int argc, char** argv);
