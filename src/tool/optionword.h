// SPDX-License-Identifier: GPL-3.0-or-later
// How every command of the tool reads its words, whichever loop then takes
// them apart: a long option may be shortened while it stays unique, may
// carry its value after '=' ("--gap=20"), and "--" ends the options.
#pragma once

#include <string>
#include <vector>

struct SOptionWord {
    std::string name;
    std::string value;
    bool hasValue = false;
};

inline SOptionWord SplitOptionWord(const std::string& word)
{
    SOptionWord w{word, {}, false};
    if (word.rfind("--", 0) != 0) return w;
    const size_t eq = word.find('=');
    if (eq == std::string::npos) return w;
    return {word.substr(0, eq), word.substr(eq + 1), true};
}

// A long option a command knows, with its dashes ("--gap"), and how many
// words follow it as its values.
struct SOptionName {
    std::string name;
    int values = 0;
};

// Writes every long option word before "--" that begins one known name and
// no other, or is one exactly, as that name (a value after '=' kept); the
// values of a known option are passed over as they stand. A word that
// begins several names is refused with a German message in `error` naming
// them; an unknown word stays as it is, for the command to name.
bool ExpandOptionWords(std::vector<std::string>& args, const std::vector<SOptionName>& known, std::string& error);
