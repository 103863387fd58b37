// SPDX-License-Identifier: GPL-3.0-or-later
#include "location.h"

#include <cctype>
#include <cstdlib>
#include <regex>

namespace tresarchive {

namespace {

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

bool IsUri(const std::string& s) { return StartsWith(s, "postgresql://") || StartsWith(s, "postgres://"); }

// A key=value connection string starts with a keyword of libpq's and an
// equals sign; a path such as "a=b.gpkg" would have to be written
// "./a=b.gpkg".
bool IsKeywordForm(const std::string& s)
{
    static const std::regex keyword(R"(^\s*[A-Za-z_]+\s*=)");
    return std::regex_search(s, keyword);
}

std::string MaskUri(const std::string& s)
{
    std::string out = s;
    const auto scheme = out.find("://") + 3;
    const auto end = out.find_first_of("/?", scheme);
    const auto at = out.rfind('@', end == std::string::npos ? out.size() : end);
    if (at != std::string::npos && at >= scheme) {
        const auto colon = out.find(':', scheme);
        if (colon != std::string::npos && colon < at) out.replace(colon + 1, at - colon - 1, "***");
    }
    static const std::regex query(R"(([?&]password=)[^&]*)", std::regex::icase);
    return std::regex_replace(out, query, "$1***");
}

std::string MaskKeywords(const std::string& s)
{
    // A quoted value may hold blanks and escaped quotes; an unquoted one
    // ends at the next blank.
    static const std::regex pair(R"((\bpassword\s*=\s*)('(?:[^'\\]|\\.)*'|[^\s']*))", std::regex::icase);
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

} // namespace tresarchive
