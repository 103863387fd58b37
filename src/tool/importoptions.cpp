// SPDX-License-Identifier: GPL-3.0-or-later
#include "importoptions.h"

#include "toolhost.h"

#include "doc/fileerror.h"
#include "import/csvreader.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

int LoadMap(const std::string& path, tresimport::CCsvOptions& options)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ToolError(tresdoc::OpenErrorText(path, errno ? errno : ENOENT));
        return kExitFile;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    options.map = tresimport::ParseColumnMap(text.str(), error);
    if (!options.map) {
        ToolError(path + ": " + error);
        return kExitFile;
    }
    return -1;
}

} // namespace

int TakeImportOptions(std::vector<char*>& words)
{
    tresimport::CCsvOptions options;
    std::string mapPath;
    std::vector<char*> kept;
    bool ended = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const char* w = words[i];
        if (ended || std::strcmp(w, "--") == 0) {
            ended = true;
            kept.push_back(words[i]);
        } else if (std::strcmp(w, "--skip-bad") == 0) {
            options.skipBad = true;
        } else if (std::strncmp(w, "--map=", 6) == 0) {
            mapPath = w + 6;
        } else if (std::strcmp(w, "--map") == 0) {
            if (i + 1 >= words.size()) {
                ToolError("Option --map braucht eine Datei mit der Spaltenzuordnung.");
                return kExitUsage;
            }
            mapPath = words[++i];
        } else {
            kept.push_back(words[i]);
        }
    }
    if (!mapPath.empty())
        if (const int code = LoadMap(mapPath, options); code >= 0) return code;
    words = std::move(kept);
    tresimport::SetCsvOptions(std::move(options));
    return -1;
}
