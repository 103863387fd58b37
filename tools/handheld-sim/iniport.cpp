// SPDX-License-Identifier: GPL-3.0-or-later
#include "iniport.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vlnksim {
namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool MakeDirs(const std::string& path)
{
    if (path.empty()) return false;
    struct stat st { };
    if (stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const auto slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeDirs(path.substr(0, slash))) return false;
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool SameName(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

// The section's name when the line is a section header, else empty.
std::string SectionOf(const std::string& line)
{
    const std::string t = Trim(line);
    const auto close = t.find(']');
    if (t.size() < 2 || t.front() != '[' || close == std::string::npos) return {};
    return Trim(t.substr(1, close - 1));
}

bool IsSection(const std::string& line)
{
    const std::string t = Trim(line);
    return t.size() >= 2 && t.front() == '[' && t.find(']') != std::string::npos;
}

// The key's name when the line is a "key=value" line, else empty.
std::string KeyOf(const std::string& line)
{
    const std::string t = Trim(line);
    const auto eq = t.find('=');
    if (t.empty() || t.front() == ';' || eq == std::string::npos) return {};
    return Trim(t.substr(0, eq));
}

} // namespace

std::string LibraryIniPath()
{
    std::string dir = Env("VLNK_DIR");
    if (dir.empty()) {
        if (!Env("XDG_CONFIG_HOME").empty()) dir = Env("XDG_CONFIG_HOME") + "/vlnk";
        else if (!Env("HOME").empty()) dir = Env("HOME") + "/.config/vlnk";
    }
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    if (!MakeDirs(dir)) dir = ".";
    return dir + "/vlnkw.ini";
}

bool WriteIniKey(const std::string& file, const std::string& section, const std::string& key, const std::string& value)
{
    std::vector<std::string> lines;
    {
        std::ifstream in(file, std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
    }
    const std::string entry = key + "=" + value;
    size_t header = 0;
    while (header < lines.size() && !(IsSection(lines[header]) && SameName(SectionOf(lines[header]), section)))
        ++header;
    if (header == lines.size()) {
        if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
    } else {
        // A new key goes after the section's last line that is not blank.
        size_t insertAt = header + 1;
        size_t i = header + 1;
        for (; i < lines.size() && !IsSection(lines[i]); ++i) {
            if (const std::string name = KeyOf(lines[i]); !name.empty() && SameName(name, key)) break;
            if (!Trim(lines[i]).empty()) insertAt = i + 1;
        }
        if (i < lines.size() && !IsSection(lines[i])) lines[i] = entry;
        else lines.insert(lines.begin() + static_cast<long>(insertAt), entry);
    }

    const std::string side = file + ".tmp" + std::to_string(getpid());
    std::ofstream out(side, std::ios::binary | std::ios::trunc);
    for (const auto& line : lines) out << line << '\n';
    out.close();
    if (!out || std::rename(side.c_str(), file.c_str()) != 0) {
        std::remove(side.c_str());
        return false;
    }
    return true;
}

} // namespace vlnksim
