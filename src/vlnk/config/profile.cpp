// SPDX-License-Identifier: LGPL-2.1-or-later
#include "profile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string_view>
#include <strings.h>
#include <unistd.h>
#include <vector>

#include "sidefile.h"

namespace vlnk::profile {
namespace {

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

// A file that is not a regular one reads as absent.
std::vector<std::string> ReadLines(const std::string& file)
{
    std::vector<std::string> lines;
    const int fd = OpenRegularForRead(file);
    if (fd < 0) return lines;
    std::string text;
    char buf[4096];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The section name when the line is a section header.
std::optional<std::string> SectionOf(const std::string& line)
{
    const std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return std::nullopt;
    const auto close = t.find(']');
    if (close == std::string::npos) return std::nullopt;
    return Trim(t.substr(1, close - 1));
}

// The key name when the line is a "key=value" line.
std::optional<std::string> KeyOf(const std::string& line)
{
    const std::string t = Trim(line);
    if (t.empty() || t.front() == ';') return std::nullopt;
    const auto eq = t.find('=');
    if (eq == std::string::npos) return std::nullopt;
    return Trim(t.substr(0, eq));
}

// Index range [begin, end) of the section's lines after its header; begin is
// npos when the section is absent.
std::pair<size_t, size_t> FindSection(const std::vector<std::string>& lines, const char* section)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionOf(lines[i]);
        if (!name || !SameName(*name, section)) continue;
        size_t end = i + 1;
        while (end < lines.size() && !SectionOf(lines[end])) ++end;
        return {i + 1, end};
    }
    return {std::string::npos, std::string::npos};
}

// Never replaces anything but a regular file.
bool WriteLines(const std::string& file, const std::vector<std::string>& lines)
{
    if (!RegularOrAbsent(file)) return false;
    std::string text;
    for (const auto& line : lines) text += line + '\n';
    std::string side;
    const int fd = CreateSideFile(file, side);
    if (fd < 0) return false;
    std::string_view rest = text;
    while (!rest.empty()) {
        const ssize_t n = write(fd, rest.data(), rest.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            close(fd);
            unlink(side.c_str());
            return false;
        }
        rest.remove_prefix(static_cast<size_t>(n));
    }
    return CommitSideFile(fd, side, file) == 0;
}

std::optional<std::string> Lookup(const std::string& file, const char* section, const char* key)
{
    const auto lines = ReadLines(file);
    const auto [begin, end] = FindSection(lines, section);
    if (begin == std::string::npos) return std::nullopt;
    for (size_t i = begin; i < end; ++i) {
        const auto name = KeyOf(lines[i]);
        if (!name || !SameName(*name, key)) continue;
        std::string value = Trim(lines[i].substr(lines[i].find('=') + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return value;
    }
    return std::nullopt;
}

} // namespace

std::string GetString(const std::string& file, const char* section, const char* key, const char* def)
{
    auto value = Lookup(file, section, key);
    return value ? *value : std::string(def ? def : "");
}

unsigned GetInt(const std::string& file, const char* section, const char* key, unsigned def)
{
    const auto value = Lookup(file, section, key);
    if (!value) return def;
    return static_cast<unsigned>(std::strtol(value->c_str(), nullptr, 10));
}

bool WriteString(const std::string& file, const char* section, const char* key, const std::string& value)
{
    auto lines = ReadLines(file);
    const std::string entry = std::string(key) + "=" + value;
    const auto [begin, end] = FindSection(lines, section);
    if (begin == std::string::npos) {
        if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
        lines.push_back("[" + std::string(section) + "]");
        lines.push_back(entry);
        return WriteLines(file, lines);
    }
    size_t insertAt = begin;
    for (size_t i = begin; i < end; ++i) {
        const auto name = KeyOf(lines[i]);
        if (name && SameName(*name, key)) {
            lines[i] = entry;
            return WriteLines(file, lines);
        }
        if (!Trim(lines[i]).empty()) insertAt = i + 1;
    }
    lines.insert(lines.begin() + static_cast<long>(insertAt), entry);
    return WriteLines(file, lines);
}

bool DeleteSection(const std::string& file, const char* section)
{
    auto lines = ReadLines(file);
    const auto [begin, end] = FindSection(lines, section);
    if (begin == std::string::npos) return true;
    lines.erase(lines.begin() + static_cast<long>(begin - 1), lines.begin() + static_cast<long>(end));
    return WriteLines(file, lines);
}

} // namespace vlnk::profile
