// tresmon-tool: batch use of Tresmon's survey code.
#include "commands.h"
#include "toolhost.h"

#include <cstdio>
#include <cstring>

#ifdef TRES_HAVE_RENDER
#include "render.h"
#endif
#ifdef TRES_HAVE_PRINT
#include "printcmd.h"
#endif

namespace {

const char kUsage[] = "Aufruf: tresmon-tool BEFEHL ...\n"
                      "  dump DATEI                       Messdatei als JSON ausgeben\n"
                      "  convert EIN AUS                  Messdatei lesen und neu speichern\n"
                      "  edit EIN -o AUS [Schritte...]    Messdatei bearbeiten und speichern\n"
                      "       --sort  --reverse  --add GRÖSSE START ENDE K\n"
                      "       --insert-after R  --delete ERSTE ANZAHL  --append DATEI\n"
                      "  csv EIN AUS                      Export für die Tabellenkalkulation\n"
                      "  errors DATEI                     Zeilen der Fehlerliste ausgeben\n"
#ifdef TRES_HAVE_RENDER
                      "  render DATEI -o AUS.png [--pane gradient|potential] [--size BREITExHÖHE]\n"
                      "                                   Kurvenbild eines Fensters als PNG\n"
#endif
#ifdef TRES_HAVE_PRINT
                      "  print --graphic|--table DATEI -o AUS.pdf [--scale N] [--start M] [--end M]\n"
                      "        [--errors] [--no-qm]          Graphik- oder Tabellendruck als PDF\n"
#endif
    ;

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? kExitUsage : kExitOk;
    }
    const std::string command = argv[1];
    Args args(argv + 2, argv + argc);
    if (command == "dump") return RunDump(args);
    if (command == "convert") return RunConvert(args);
    if (command == "edit") return RunEdit(args);
    if (command == "csv") return RunCsv(args);
    if (command == "errors") return RunErrors(args);
#ifdef TRES_HAVE_RENDER
    if (command == "render") return RunRenderCommand(argc - 2, argv + 2);
#endif
#ifdef TRES_HAVE_PRINT
    if (command == "print") return RunPrintCommand(argc - 2, argv + 2);
#endif
    ToolError("Unbekannter Befehl: " + command);
    std::fputs(kUsage, stderr);
    return kExitUsage;
}
