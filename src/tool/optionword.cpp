// SPDX-License-Identifier: GPL-3.0-or-later
#include "optionword.h"

bool ExpandOptionWords(std::vector<std::string>& args, const std::vector<SOptionName>& known, std::string& error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        std::string& word = args[i];
        if (word == "--") break;
        if (word.size() <= 2 || word.rfind("--", 0) != 0) continue;
        const SOptionWord w = SplitOptionWord(word);
        const SOptionName* match = nullptr;
        std::string candidates;
        int count = 0;
        for (const SOptionName& k : known) {
            if (k.name == w.name) {
                match = &k;
                count = 1;
                break;
            }
            if (k.name.compare(0, w.name.size(), w.name) == 0) {
                match = &k;
                ++count;
                candidates += (candidates.empty() ? "" : ", ") + k.name;
            }
        }
        if (count > 1) {
            error = "Mehrdeutige Option: " + w.name + " (" + candidates + ")";
            return false;
        }
        if (!match) continue;
        word = match->name + (w.hasValue ? "=" + w.value : std::string());
        // Its values are no options, whatever they look like.
        if (match->values > 0) i += static_cast<size_t>(w.hasValue ? match->values - 1 : match->values);
    }
    return true;
}
