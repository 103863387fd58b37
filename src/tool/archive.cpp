// SPDX-License-Identifier: GPL-3.0-or-later
// tresmon-tool archive: the pipeline archive from the command line.
#include "commands.h"
#include "toolhost.h"

#include "archive/openarchive.h"
#include "archive/schema.h"

#include <cstdio>

namespace {

const char kArchiveUsage[] = "Aufruf: tresmon-tool archive init ARCHIV\n"
                             "  init ARCHIV   legt das Schema an (eine .gpkg-Datei oder eine PostgreSQL-Verbindung)\n"
                             "ARCHIV ist ein Pfad (SQLite/GeoPackage) oder eine libpq-Verbindungsangabe.\n";

bool IsHelp(const std::string& a) { return a == "--help" || a == "-h"; }

int RunInit(const Args& args)
{
    if (args.size() == 1 && IsHelp(args[0])) {
        std::fputs(kArchiveUsage, stdout);
        return kExitOk;
    }
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
        std::fputs(kArchiveUsage, stderr);
        return kExitUsage;
    }
    try {
        auto db = tresarchive::OpenArchiveConnection(args[0], true);
        const tresarchive::SSchemaState state = tresarchive::InitSchema(*db);
        if (!state.note.empty()) std::printf("%s\n", state.note.c_str());
        else std::printf("Archiv angelegt: %s (Schema %d)\n", db->MaskedLocation().c_str(), state.version);
        return kExitOk;
    } catch (const tresarchive::CArchiveError& e) {
        ToolError(e.what());
        return kExitFile;
    }
}

} // namespace

int RunArchive(const Args& args)
{
    if (args.empty()) {
        std::fputs(kArchiveUsage, stderr);
        return kExitUsage;
    }
    if (IsHelp(args[0])) {
        std::fputs(kArchiveUsage, stdout);
        return kExitOk;
    }
    const Args rest(args.begin() + 1, args.end());
    if (args[0] == "init") return RunInit(rest);
    ToolError("Unbekannter archive-Befehl: " + args[0]);
    std::fputs(kArchiveUsage, stderr);
    return kExitUsage;
}
