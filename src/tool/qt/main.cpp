// tresmon-tool-qt: the Qt half of tresmon-tool. tresmon-tool replaces itself
// by this program for "render", "print" and "report" with its own
// arguments, so what the user sees - messages, output, exit code - comes
// from here unchanged.
#include "printcmd.h"
#include "render.h"
#include "reportcmd.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "render") == 0) return RunRenderCommand(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "print") == 0) return RunPrintCommand(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "report") == 0) return RunReportCommand(argc - 2, argv + 2);
    std::fputs("Aufruf: tresmon-tool render|print|report ...\n"
               "(tresmon-tool-qt ist ein Teil von tresmon-tool und wird von ihm aufgerufen.)\n",
               stderr);
    return 1;
}
