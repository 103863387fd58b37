// SPDX-License-Identifier: LGPL-2.1-or-later
#include "arguments.h"

#include <strings.h>

#include "cmdline.h"

namespace cmdvlnk {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Whether the "/" at `at` begins a command of the table. `begins` already
// holds the answer for every "/" after it.
bool BeginsCommand(const std::string& token, size_t at, const std::vector<bool>& begins)
{
    for (int index = 0;; ++index) {
        const auto code = static_cast<vlnk::CmdCode>(index);
        const std::string_view name = vlnk::CommandName(code);
        if (name.empty()) return false;
        if (token.size() - at < name.size() || strncasecmp(token.c_str() + at, name.data(), name.size()) != 0) continue;
        const size_t after = at + name.size();
        const bool end = after == token.size() || IsBlank(token[after]);
        const bool separator = after < token.size() && (token[after] == '=' || token[after] == ':');
        const bool nextCommand = after < token.size() && token[after] == '/' && begins[after];
        switch (vlnk::CommandForm(code)) {
        case vlnk::CmdForm::Value:
            if (separator) return true;
            break;
        case vlnk::CmdForm::IgnoredPrefix:
            if (end || separator || nextCommand) return true;
            break;
        case vlnk::CmdForm::Whole:
            if (end || nextCommand) return true;
            break;
        }
    }
}

} // namespace

std::string JoinArguments(const std::vector<std::string>& args)
{
    std::string line;
    for (const std::string& arg : args) {
        std::string token = arg;
        // From the right, so that a command without a value can look at the "/"
        // after it.
        std::vector<bool> begins(token.size() + 1, false);
        for (size_t at = token.size(); at-- > 0;)
            if (token[at] == '/') begins[at] = (at == 0) || BeginsCommand(token, at, begins);
        for (size_t at = 0; at < token.size(); ++at)
            if (token[at] == '/' && !begins[at]) token[at] = '\\';
        if (!line.empty()) line += ' ';
        line += token;
    }
    return line;
}

} // namespace cmdvlnk
