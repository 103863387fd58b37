// SPDX-License-Identifier: GPL-3.0-or-later
// A command's own words, read with getopt_long so that every command takes
// options the way its neighbours on the system do: long names may be
// shortened while they stay unique, "--name=value" works, "--" ends the
// options and "-" is an operand (standard input or output).
#pragma once

#include "commands.h"

#include <initializer_list>
#include <string>
#include <vector>

// One option: its long name, its one-letter name or 0, and how many words
// follow it (the first may also be given as "--name=value").
struct OptionDef {
    const char* longName;
    char shortName;
    int values;
};

// An option as it was given, with its values.
struct GivenOption {
    std::string name; // the long name without dashes
    std::vector<std::string> values;
};

struct CommandLine {
    std::vector<GivenOption> options; // in the order given
    std::vector<std::string> operands;
};

// Reads `args` (the words after the command's name). Options and operands
// keep their order. -h and --help print `usage` on standard output.
// Returns -1 when the words were read into `out`; otherwise the exit code
// to end with: 0 after the help, 1 after a German message on standard error
// (an unknown option, or `usage` when a value is missing).
int ParseCommandLine(const Args& args, std::initializer_list<OptionDef> defs, const std::string& usage,
                     CommandLine& out);

// Long options answer getopt_long with this or more, so no letter can clash.
inline constexpr int kFirstLongOption = 256;

// The option getopt_long just refused ('?'), as the user typed it.
std::string RejectedOptionWord(char** argv);

// The usage line of a command as its errors show it and its --help prints it.
std::string CommandUsage(const std::string& synopsis);
