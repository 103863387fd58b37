// SPDX-License-Identifier: GPL-3.0-or-later
#include "archivecommon.h"

#include "toolhost.h"

#include "archive/location.h"

#include <algorithm>
#include <cstdio>

bool SArchiveWords::Has(const std::string& name) const
{
    return values.count(name) || std::find(flags.begin(), flags.end(), name) != flags.end();
}

namespace {

bool Usage(const char* usage, const std::string& text)
{
    ToolError(text);
    std::fputs(usage, stderr);
    return false;
}

} // namespace

bool ReadArchiveWords(const Args& given, const std::vector<SOptionName>& known, const char* usage, SArchiveWords& out)
{
    Args args = given;
    std::vector<SOptionName> all = known;
    all.push_back({"--help", 0});
    if (std::string error; !ExpandOptionWords(args, all, error)) return Usage(usage, error);
    for (COptionWalk words(args); words.Next();) {
        const std::string& word = words.Word();
        if (words.IsOperand() || word.empty() || word[0] != '-' || word == "-") {
            out.operands.push_back(word);
            continue;
        }
        auto [name, value, hasValue] = SplitOptionWord(word);
        if (name == "-h" || name == "--help") {
            out.help = true;
            return true;
        }
        const auto it = std::find_if(all.begin(), all.end(), [&](const SOptionName& k) { return k.name == name; });
        if (it == all.end()) return Usage(usage, "Unbekannte Option: " + name);
        if (it->values == 0) {
            if (hasValue) return Usage(usage, name + " nimmt keinen Wert.");
            out.flags.push_back(name);
        } else {
            if (!hasValue && !words.TakeNext(value)) return Usage(usage, name + " braucht einen Wert.");
            out.values[name] = value;
        }
    }
    return true;
}

std::optional<std::string> TakeArchiveLocation(std::vector<std::string>& operands,
                                               const std::optional<std::string>& option, bool firstIsArchive)
{
    if (option && !option->empty()) return *option;
    if (!option && !operands.empty() && (firstIsArchive || tresarchive::NamesArchive(operands.front()))) {
        std::string location = operands.front();
        operands.erase(operands.begin());
        return location;
    }
    const std::string fallback = tresarchive::DefaultArchivePath();
    if (fallback.empty()) {
        ToolError("Kein Archiv angegeben, und ohne HOME gibt es kein voreingestelltes Archiv.");
        return std::nullopt;
    }
    return fallback;
}

std::unique_ptr<tresarchive::CArchive> OpenForArchiveCommand(const std::string& location, bool create)
{
    try {
        return tresarchive::OpenArchive(location, create || location == tresarchive::DefaultArchivePath());
    } catch (const tresarchive::CArchiveError& e) {
        ArchiveFailure(e);
        return nullptr;
    }
}

int ArchiveFailure(const tresarchive::CArchiveError& e)
{
    ToolError(e.what());
    return kExitFile;
}

bool ReadSurveyId(const std::string& word, long long& id, const char* usage)
{
    const bool digits = !word.empty() && word.size() <= 18
                        && std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits || (id = std::stoll(word)) <= 0) return Usage(usage, "Ungültige Messungsnummer: \"" + word + "\"");
    return true;
}
