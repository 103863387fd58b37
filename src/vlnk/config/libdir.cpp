// SPDX-License-Identifier: LGPL-2.1-or-later
#include "libdir.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "sidefile.h"

namespace vlnk {
namespace {

// A plain pointer: no exit handler touches what it points to.
const bool* g_pSysDirWritable = nullptr;

bool MakeDirs(const std::string& path)
{
    if (path.empty()) return false;
    struct stat st { };
    if (stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const auto slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeDirs(path.substr(0, slash))) return false;
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::string LibraryDir()
{
    std::string dir = Env("VLNK_DIR");
    if (dir.empty()) {
        const std::string xdg = Env("XDG_CONFIG_HOME");
        const std::string home = Env("HOME");
        if (!xdg.empty()) dir = xdg + "/vlnk";
        else if (!home.empty()) dir = home + "/.config/vlnk";
    }
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    if (!MakeDirs(dir)) return ".";
    return dir;
}

std::string LibraryFile(const char* name) { return LibraryDir() + "/" + name; }

std::string IniPath() { return LibraryFile("vlnkw.ini"); }

bool ProbeSystemDir()
{
    std::string path;
    const int fd = CreateSideFile(LibraryDir() + "/SYSTEM32/VLNK.TST", path);
    if (fd < 0) return false;
    close(fd);
    unlink(path.c_str());
    return true;
}

bool SystemDirWritable() { return g_pSysDirWritable && *g_pSysDirWritable; }

void SetSystemDirFlag(const bool* writable) { g_pSysDirWritable = writable; }

} // namespace vlnk
