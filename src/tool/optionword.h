// SPDX-License-Identifier: GPL-3.0-or-later
// One word of a command's arguments: a long option may carry its value
// after '=' ("--gap=20"); anything else is the word as it stands.
#pragma once

#include <string>

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
