// SPDX-License-Identifier: GPL-3.0-or-later
// Running the tool from the tests as a user runs it: a shell command, its
// exit status and what it printed.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>

struct SRun {
    int status = -1;
    std::string out; // standard output, and standard error unless left out
};

inline SRun Shell(const std::string& command, bool withErrors = true)
{
    SRun r;
    FILE* p = popen((command + (withErrors ? " 2>&1" : " 2>/dev/null")).c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

inline std::string Quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }
