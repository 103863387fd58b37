// SPDX-License-Identifier: GPL-3.0-or-later
// `import`: another logger's export as the map would read it (--detect), or
// saved as a .tsd with a word on what the file will not hold.
#include "cmdline.h"
#include "commands.h"
#include "toolhost.h"

#include "doc/fileerror.h"
#include "doc/rowextras.h"
#include "doc/tredoc.h"
#include "import/csvreader.h"
#include "import/filebytes.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

const char kUsage[] = "Aufruf: tresmon-tool import --detect DATEI [--map ZUORDNUNG.json]\n"
                      "       tresmon-tool import EIN -o AUS.tsd [--map ZUORDNUNG.json] [--skip-bad]\n"
                      "  --detect   die Spaltenzuordnung, mit der EIN gelesen würde, als JSON\n"
                      "  -o AUS     EIN als Messdatei speichern; auf der Standardfehlerausgabe steht,\n"
                      "             was die Datei nicht aufnimmt\n";

int Detect(const std::string& path)
{
    CToolHost host;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        ToolError(tresdoc::OpenErrorText(path, errno));
        return kExitFile;
    }
    tresimport::CFileBytes bytes;
    const bool read = tresimport::ReadWhole(fd, path, host, bytes);
    ::close(fd);
    if (!read) return kExitFile;
    std::string error;
    const auto map = tresimport::CCsvReader().MapFor(bytes.View(), path, error);
    if (!map) {
        ToolError(error);
        return kExitFile;
    }
    std::fputs(tresimport::ColumnMapJson(*map).c_str(), stdout);
    return kExitOk;
}

} // namespace

int RunImport(const Args& args)
{
    CommandLine line;
    if (const int exit = ParseCommandLine(args, {{"detect", 0, 0}, {"output", 'o', 1}}, kUsage, line); exit >= 0)
        return exit;
    bool detect = false;
    std::string output;
    for (const GivenOption& o : line.options) {
        if (o.name == "detect") detect = true;
        else output = o.values[0];
    }
    if (line.operands.size() != 1 || detect == !output.empty()) {
        ToolError(kUsage);
        return kExitUsage;
    }
    if (detect) return Detect(line.operands[0]);
    CToolHost host;
    CTreDoc doc;
    if (!OpenForTool(doc, host, line.operands[0])) return kExitFile;
    if (!SaveForTool(doc, output)) return kExitFile;
    if (const std::string loss = ExtrasLossText(doc.Extras()); !loss.empty()) ToolError(loss + ".");
    return kExitOk;
}
