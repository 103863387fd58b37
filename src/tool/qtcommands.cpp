// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtcommands.h"

#include "toolhost.h"

#include "doc/fileerror.h"

#include <cerrno>
#include <climits>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace {

const char kQtTool[] = "tresmon-tool-qt";

// The folder this program was started from, resolved through links, so an
// installed tool called through a link in another folder still finds its
// other half. Empty when /proc is not mounted.
std::string OwnFolder()
{
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    const std::string self(buf, static_cast<size_t>(n));
    const size_t slash = self.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? "/" : self.substr(0, slash);
}

} // namespace

bool HaveQtCommands()
{
#ifdef TRES_HAVE_QT_COMMANDS
    return true;
#else
    return false;
#endif
}

bool IsQtCommand(const std::string& command)
{
    return command == "render" || command == "print" || command == "report";
}

int RunQtCommand(int argc, char** argv)
{
    const std::string command = argc > 0 ? argv[0] : "";
    if (!HaveQtCommands()) {
        ToolError(command + " ist nicht verfügbar: dieses tresmon-tool wurde ohne Qt gebaut.");
        return kExitUsage;
    }
    const std::string folder = OwnFolder();
    if (folder.empty()) {
        ToolError(command + " braucht das Programm " + kQtTool
                  + ", aber der Ordner von tresmon-tool ist nicht zu ermitteln (/proc fehlt).");
        return kExitFile;
    }
    const std::string installed = std::filesystem::path(folder + "/" TRES_QT_TOOL_INSTALL_DIR).lexically_normal();
    const std::string candidates[] = {folder + "/" + kQtTool, installed + "/" + kQtTool};
    std::vector<char*> args;
    args.push_back(nullptr); // the program's own path, set per candidate
    for (int i = 0; i < argc; ++i) args.push_back(argv[i]);
    args.push_back(nullptr);
    int err = ENOENT;
    for (const std::string& path : candidates) {
        args[0] = const_cast<char*>(path.c_str());
        ::execv(path.c_str(), args.data());
        if (errno != ENOENT) err = errno; // there, but it cannot run: say why
    }
    if (err == ENOENT) {
        ToolError(command + " braucht das Programm " + kQtTool + ", es liegt weder in " + folder + " noch in "
                  + installed + ".");
    } else {
        ToolError(command + ": " + kQtTool + " lässt sich nicht starten: " + tresdoc::FileErrorReason(err) + ".");
    }
    return kExitFile;
}
