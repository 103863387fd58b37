// SPDX-License-Identifier: GPL-3.0-or-later
#include "location.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>

namespace tresarchive {

namespace {

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

std::string PercentDecoded(const std::string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1]))
            && std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

bool IsUri(const std::string& s) { return StartsWith(s, "postgresql://") || StartsWith(s, "postgres://"); }

// A key=value connection string starts with a keyword of libpq's and an
// equals sign; a path such as "a=b.gpkg" would have to be written
// "./a=b.gpkg".
bool IsKeywordForm(const std::string& s)
{
    static const std::regex keyword(R"(^\s*[A-Za-z_]+\s*=)");
    return std::regex_search(s, keyword);
}

// libpq reads user[:password] up to an '@' before the first '/', also
// when '?' or '@' stand in the password; the mask reaches the last such '@'
// so that no part of the password shows.
std::string MaskUri(const std::string& s)
{
    std::string out = s;
    const auto scheme = out.find("://") + 3;
    const auto slash = out.find('/', scheme);
    const auto at = out.rfind('@', slash == std::string::npos ? out.size() : slash);
    if (at != std::string::npos && at >= scheme) {
        const auto colon = out.find(':', scheme);
        if (colon != std::string::npos && colon < at) out.replace(colon + 1, at - colon - 1, "***");
    }
    // The query's keys are percent-decoded by libpq ("pass%77ord").
    const auto query = out.find('?', slash == std::string::npos ? scheme : slash);
    if (query == std::string::npos) return out;
    std::string masked = out.substr(0, query);
    std::size_t pos = query;
    while (pos < out.size()) {
        const auto end = std::min(out.find('&', pos + 1), out.size());
        const std::string param = out.substr(pos, end - pos); // with its leading '?' or '&'
        const auto eq = param.find('=');
        if (eq != std::string::npos && PercentDecoded(param.substr(1, eq - 1)) == "password")
            masked += param.substr(0, eq + 1) + "***";
        else masked += param;
        pos = end;
    }
    return masked;
}

std::string MaskKeywords(const std::string& s)
{
    // A quoted value may hold blanks and escaped quotes; an unquoted one
    // ends at the next blank not escaped by a backslash and keeps quotes.
    static const std::regex pair(R"((\bpassword\s*=\s*)('(?:[^'\\]|\\.)*'?|(?:\\.|[^\s\\])*))", std::regex::icase);
    return std::regex_replace(s, pair, "$1***");
}

} // namespace

bool IsConnectionString(const std::string& location) { return IsUri(location) || IsKeywordForm(location); }

std::string MaskedLocation(const std::string& location)
{
    if (IsUri(location)) return MaskUri(location);
    if (IsKeywordForm(location)) return MaskKeywords(location);
    return location;
}

std::string DefaultArchivePath()
{
    std::string base;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) return {};
        base = std::string(home) + "/.local/share";
    }
    return base + "/Norvaken/Tresmon/archiv.gpkg";
}

bool NamesArchive(const std::string& word)
{
    if (IsConnectionString(word)) return true;
    std::string lower;
    for (char c : word) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* suffix : {".gpkg", ".sqlite", ".sqlite3", ".db"})
        if (lower.size() > std::strlen(suffix) && lower.ends_with(suffix)) return true;
    std::ifstream in(word, std::ios::binary);
    char head[16] = {};
    return in.read(head, sizeof head) && std::memcmp(head, "SQLite format 3", 16) == 0;
}

} // namespace tresarchive
