// tresmon-tool: batch use of Tresmon's survey code.
#include "commands.h"
#include "qtcommands.h"
#include "toolhost.h"

#include <cstdio>
#include <cstring>
#include <malloc.h>

namespace {

const char kDocumentUsage[] = "Aufruf: tresmon-tool BEFEHL ...\n"
                              "  dump DATEI                       Messdatei als JSON ausgeben\n"
                              "  convert EIN AUS                  Messdatei lesen und neu speichern\n"
                              "  edit EIN -o AUS [Schritte...]    Messdatei bearbeiten und speichern\n"
                              "       --sort  --reverse  --add GRÖSSE START ENDE K\n"
                              "       --insert-after R  --delete ERSTE ANZAHL  --append DATEI\n"
                              "  csv EIN AUS                      Export für die Tabellenkalkulation\n"
                              "  errors DATEI                     Zeilen der Fehlerliste ausgeben\n"
                              "  assess DATEI [--json|--csv] [Optionen]  Bewertung des Verlaufs\n"
                              "       --off-limit MV  --irfree-limit MV  --over-limit MV\n"
                              "       --graddiff-limit MV  --spike MV  --gap M\n"
                              "       --without off,irfree,over,graddiff\n"
                              "  compare AKTUELL FRÜHER [--json|--csv] [Optionen]  Vergleich mit früherer Messung\n"
                              "       --native  --worse-limit MV  --shift-limit MV  --pairs\n";
const char kQtUsage[] = "  render DATEI -o AUS.png [--pane gradient|potential] [--size BREITExHÖHE]\n"
                        "                                   Kurvenbild eines Fensters als PNG\n"
                        "  print --graphic|--table DATEI -o AUS.pdf [--scale N] [--start M] [--end M]\n"
                        "        [--errors] [--no-qm]          Graphik- oder Tabellendruck als PDF\n";

// render and print are listed only where this build can run them.
void PrintUsage(std::FILE* to)
{
    std::fputs(kDocumentUsage, to);
    if (HaveQtCommands()) std::fputs(kQtUsage, to);
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
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? kExitUsage : kExitOk;
    }
    const std::string command = argv[1];
    Args args(argv + 2, argv + argc);
    if (command == "dump") return RunDump(args);
    if (command == "convert") return RunConvert(args);
    if (command == "edit") return RunEdit(args);
    if (command == "csv") return RunCsv(args);
    if (command == "errors") return RunErrors(args);
    if (command == "assess") return RunAssess(args);
    if (command == "compare") return RunCompare(args);
    if (IsQtCommand(command)) return RunQtCommand(argc - 1, argv + 1);
    ToolError("Unbekannter Befehl: " + command);
    PrintUsage(stderr);
    return kExitUsage;
}
