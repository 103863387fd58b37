// SPDX-License-Identifier: GPL-3.0-or-later
// tresmon-tool: batch use of Tresmon's survey code.
#include "cmdline.h"
#include "commands.h"
#include "importoptions.h"
#include "qtcommands.h"
#include "toolhost.h"

#include "tresversion.h"

#include <cstdio>
#include <getopt.h>
#include <malloc.h>
#include <string>

namespace {

const char kDocumentUsage[]
    = "Aufruf: tresmon-tool BEFEHL ...\n"
      "  dump DATEI                       Messdatei als JSON ausgeben\n"
      "  convert EIN AUS                  Messdatei lesen und neu speichern\n"
      "  edit EIN -o AUS [Schritte...]    Messdatei bearbeiten und speichern\n"
      "       --sort  --reverse  --add GRÖSSE START ENDE K\n"
      "       --insert-after R  --delete ERSTE ANZAHL  --append DATEI\n"
      "       --restation LEITUNG.geojson  --stretch-tolerance X\n"
      "  csv EIN AUS                      Export für die Tabellenkalkulation\n"
      "  errors DATEI                     Zeilen der Fehlerliste ausgeben\n"
      "  assess DATEI [--json|--csv] [--rows] [Optionen]  Schutznachweis\n"
      "       --native NATIV  --protection-limit MV  --limit-potential MV  --no-100mv\n"
      "       --irfree-min-diff MV  --irfree-max-ratio X  --gap M  --spike MV\n"
      "       --defect-window M  --background M  --defect-factor X  --defect-min MV\n"
      "       --categories A,B,C  --pipeline LEITUNG.geojson  (assess --help nennt alle)\n"
      "  compare AKTUELL FRÜHER [--json|--csv] [Optionen]  Vergleich mit früherer Messung\n"
      "       --native  --worse-limit MV  --shift-limit MV  --pairs\n"
      "       --pipeline LEITUNG.geojson  --reverse  --no-align\n"
      "  export DATEI --format geojson|kml|gpx|csv -o AUS [Optionen wie assess]\n"
      "                                   Befunde für GIS und GPS (mit --pipeline LEITUNG),\n"
      "                                   Aufgrabungsliste mit Koordinaten als csv\n"
      "  archive init|add|list|show|get|remove|reassess|log|dig [ARCHIV] ...\n"
      "                                   Leitungsarchiv: Messungen über die Jahre\n"
      "                                   (GeoPackage-Datei oder PostgreSQL; archive --help)\n"
      "  trend [ARCHIV] --pipeline NAME [--number NR] [--from DATUM] [--to DATUM]\n"
      "        [--match M] [--window W] [--drift MV] [--interval JAHRE] [--json|--csv]\n"
      "                                   Verlauf über die archivierten Messungen einer Leitung\n";
const char kQtUsage[] = "  render DATEI -o AUS.png [--pane gradient|potential] [--size BREITExHÖHE]\n"
                        "                                   Kurvenbild eines Fensters als PNG\n"
                        "  print --graphic|--table DATEI -o AUS.pdf [--scale N] [--start M] [--end M]\n"
                        "        [--errors] [--no-qm] [--max-pages N]\n"
                        "                                   Graphik- oder Tabellendruck als PDF\n"
                        "  report DATEI -o AUS.pdf [Optionen wie assess]  Bewertungsbericht als PDF\n"
                        "        [--compare FRÜHER [--native] [--worse-limit MV] [--shift-limit MV]]\n"
                        "                                   mit Vergleich zu früherer oder Nativmessung,\n"
                        "        [--reverse | --no-align]   zugeordnet wie bei compare\n"
                        "        [--section M] [--report-number TEXT] [--revision TEXT]\n"
                        "        [--company TEXT] [--logo DATEI] [--author TEXT]\n"
                        "                                   Blattlänge, Berichtsnummer, Aussteller\n"
                        "  report --trend [ARCHIV] --pipeline NAME -o AUS.pdf [Optionen wie trend]\n"
                        "                                   Trendbericht über die archivierten Messungen\n";

const char kCommonUsage[] = "  import --detect DATEI             Spaltenzuordnung eines CSV-Exports als JSON\n"
                            "  import EIN -o AUS.tsd            CSV- oder Textexport als Messdatei speichern\n"
                            "Jeder Befehl, der eine Messung öffnet, nimmt auch CSV- und Textexporte:\n"
                            "  --map ZUORDNUNG.json             Spaltenzuordnung (sonst aus der Kopfzeile)\n"
                            "  --skip-bad                       fehlerhafte Zeilen überspringen und nennen\n"
                            "  --help                           diese Hilfe\n"
                            "  --version                        Name und Version des Programms\n"
                            "Eine Datei namens - ist die Standardeingabe oder -ausgabe.\n";

// render and print are listed only where this build can run them.
void PrintUsage(std::FILE* to)
{
    std::fputs(kDocumentUsage, to);
    if (HaveQtCommands()) std::fputs(kQtUsage, to);
    std::fputs(kCommonUsage, to);
}

// The commands this process carries out itself; a new one is one line here.
struct Command {
    const char* name;
    int (*run)(const Args& args);
};
const Command kCommands[] = {
    {"dump", RunDump},       {"convert", RunConvert}, {"edit", RunEdit},       {"csv", RunCsv},
    {"errors", RunErrors},   {"assess", RunAssess},   {"compare", RunCompare}, {"export", RunExport},
    {"archive", RunArchive}, {"import", RunImport},   {"trend", RunTrend},
};

// The tool's own options, before the command: "+" stops at the command's
// name, so the command's options stay the command's.
enum class TopLevel { Command, Help, Version, Error };
TopLevel ParseTopLevel(int argc, char** argv)
{
    static const option kOptions[] = {
        {"help", no_argument, nullptr, kFirstLongOption},
        {"version", no_argument, nullptr, kFirstLongOption + 1},
        {nullptr, 0, nullptr, 0},
    };
    opterr = 0;
    int c;
    while ((c = getopt_long(argc, argv, "+h", kOptions, nullptr)) != -1) {
        if (c == 'h' || c == kFirstLongOption) return TopLevel::Help;
        if (c == kFirstLongOption + 1) return TopLevel::Version;
        ToolError("Unbekannte Option: " + RejectedOptionWord(argv));
        return TopLevel::Error;
    }
    return TopLevel::Command;
}

} // namespace

int main(int argc, char** argv)
{
    // One run, one survey: memory given back to the system during the run
    // would only be taken fresh again, and every fresh page costs more than
    // the work done on it. The file's buffer, the rows and the text being
    // written come from one heap that is never trimmed.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    if (argc < 2) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    switch (ParseTopLevel(argc, argv)) {
    case TopLevel::Help: PrintUsage(stdout); return kExitOk;
    case TopLevel::Version: std::fputs("tresmon-tool " TRES_VERSION "\n", stdout); return kExitOk;
    case TopLevel::Error: PrintUsage(stderr); return kExitUsage;
    case TopLevel::Command: break;
    }
    if (optind >= argc) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    const std::string command = argv[optind];
    for (const Command& c : kCommands) {
        if (command != c.name) continue;
        std::vector<char*> words(argv + optind + 1, argv + argc);
        if (const int code = TakeImportOptions(words); code >= 0) return code;
        return c.run(Args(words.begin(), words.end()));
    }
    if (IsQtCommand(command)) return RunQtCommand(argc - optind, argv + optind);
    ToolError("Unbekannter Befehl: " + command);
    PrintUsage(stderr);
    return kExitUsage;
}
