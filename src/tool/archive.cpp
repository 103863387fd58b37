// SPDX-License-Identifier: GPL-3.0-or-later
// tresmon-tool archive: the pipeline archive from the command line.
#include "archivecommon.h"
#include "toolhost.h"

#include "archive/openarchive.h"
#include "archive/schema.h"

#include <cstdio>

namespace {

const char kArchiveUsage[]
    = "Aufruf: tresmon-tool archive BEFEHL [ARCHIV] ...\n"
      "  init ARCHIV                     legt das Schema an (eine .gpkg-Datei oder eine PostgreSQL-Verbindung)\n"
      "  add [ARCHIV] DATEI... [--pipeline LEITUNG.geojson] [--native NATIV] [--date JJJJ-MM-TT]\n"
      "      [Bewertungsoptionen]        übernimmt Messungen mit ihrer Bewertung, jede in einem Schritt\n"
      "  list [ARCHIV] [--pipeline NAME] [--json]   Leitungen und ihre Messungen nach Datum\n"
      "  show [ARCHIV] NR [--json] [--history]      die gespeicherte Bewertung (wie assess --json --rows)\n"
      "  get [ARCHIV] NR -o DATEI        die Originaldatei, Byte für Byte (- für die Standardausgabe)\n"
      "  remove [ARCHIV] NR --reason TEXT           nimmt eine Messung heraus; das Protokoll bleibt\n"
      "  reassess [ARCHIV] NR... [--pipeline LEITUNG.geojson] [Bewertungsoptionen]   bewertet neu\n"
      "  log [ARCHIV] [--json]           das Protokoll, das Neueste zuletzt\n"
      "  dig [ARCHIV] NR ZEILE --date JJJJ-MM-TT --finding TEXT [--repaired] [--offset METER]\n"
      "                                  erfasst den Befund der Aufgrabung an einer Fehlstelle\n"
      "ARCHIV ist ein Pfad (SQLite/GeoPackage) oder eine libpq-Verbindungsangabe (postgresql://…,\n"
      "host=… dbname=…, service=NAME); auch als --archive ARCHIV. Ohne ARCHIV gilt\n"
      "$XDG_DATA_HOME/Norvaken/Tresmon/archiv.gpkg. Ein Wort gilt als ARCHIV, wenn es eine\n"
      "Verbindungsangabe ist, auf .gpkg, .sqlite, .sqlite3 oder .db endet oder eine SQLite-Datei ist.\n";

const char kRemoveUsage[] = "Aufruf: tresmon-tool archive remove [ARCHIV] NR --reason TEXT\n";

bool IsHelp(const std::string& a) { return a == "--help" || a == "-h"; }

int RunInit(const Args& args)
{
    SArchiveWords w;
    if (!ReadArchiveWords(args, {{"--archive", 1}}, kArchiveUsage, w)) return kExitUsage;
    if (w.help) {
        std::fputs(kArchiveUsage, stdout);
        return kExitOk;
    }
    if (w.values.count("--archive")) w.operands.insert(w.operands.begin(), w.values["--archive"]);
    if (w.operands.size() != 1 || w.operands[0].empty()) {
        ToolError(w.operands.empty() ? "Kein Archiv angegeben." : "Zu viele Angaben: " + w.operands.back());
        std::fputs(kArchiveUsage, stderr);
        return kExitUsage;
    }
    try {
        auto db = tresarchive::OpenArchiveConnection(w.operands[0], true);
        const tresarchive::SSchemaState state = tresarchive::InitSchema(*db);
        if (!state.warning.empty()) ToolError(state.warning);
        if (!state.note.empty()) std::printf("%s\n", state.note.c_str());
        else std::printf("Archiv angelegt: %s (Schema %d)\n", db->MaskedLocation().c_str(), state.version);
        return kExitOk;
    } catch (const tresarchive::CArchiveError& e) {
        return ArchiveFailure(e);
    }
}

int RunRemove(const Args& args)
{
    SArchiveWords w;
    if (!ReadArchiveWords(args, {{"--archive", 1}, {"--reason", 1}}, kRemoveUsage, w)) return kExitUsage;
    if (w.help) {
        std::fputs(kRemoveUsage, stdout);
        return kExitOk;
    }
    std::optional<std::string> option;
    if (w.values.count("--archive")) option = w.values["--archive"];
    const auto location = TakeArchiveLocation(w.operands, option, w.operands.size() > 1);
    if (!location) return kExitFile;
    long long id = 0;
    if (w.operands.size() != 1 || !ReadSurveyId(w.operands[0], id, kRemoveUsage)) {
        if (w.operands.size() != 1) std::fputs(kRemoveUsage, stderr);
        return kExitUsage;
    }
    const std::string reason = w.values.count("--reason") ? w.values["--reason"] : std::string();
    if (reason.find_first_not_of(" \t\r\n") == std::string::npos) {
        ToolError("Ohne Grund (--reason TEXT) wird keine Messung aus dem Archiv genommen.");
        return kExitUsage;
    }
    const auto archive = OpenForArchiveCommand(*location, false);
    if (!archive) return kExitFile;
    try {
        archive->Remove(id, reason);
        std::printf("Messung %lld aus dem Archiv genommen.\n", id);
        return kExitOk;
    } catch (const tresarchive::CArchiveError& e) {
        return ArchiveFailure(e);
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
    struct SCommand {
        const char* name;
        int (*run)(const Args&);
    };
    static constexpr SCommand kCommands[] = {
        {"init", RunInit},      {"add", RunArchiveAdd}, {"list", RunArchiveList},         {"show", RunArchiveShow},
        {"get", RunArchiveGet}, {"remove", RunRemove},  {"reassess", RunArchiveReassess}, {"log", RunArchiveLog},
        {"dig", RunArchiveDig},
    };
    for (const SCommand& c : kCommands)
        if (args[0] == c.name) return c.run(rest);
    ToolError("Unbekannter archive-Befehl: " + args[0]);
    std::fputs(kArchiveUsage, stderr);
    return kExitUsage;
}
