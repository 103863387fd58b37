// cmdvlnk: runs one CMDVLNK job from the command line, prints its result and
// exits with it.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "arguments.h"
#include "vlnkw32.h"

namespace {

void OnSignal(int) { VLNKCMDMessageHdlr(nullptr, VLNK_WM_COMMAND, VLNK_IDCANCEL, 0); }

void Usage(std::FILE* out)
{
    std::fputs("usage: cmdvlnk /COMMAND[=value] ...\n"
               "  Runs a transfer job with the handheld through the vlnkw32 library.\n"
               "  /PORT=n | /PORT=DEVICE  port to use (n: COMn, mapped in section [Ports] of vlnkw.ini)\n"
               "  /U=n                    find the handheld of user n by polling the COM ports\n"
               "                          (without /PORT and /U: the port of the last run)\n"
               "  /TX=PATTERN             send the matching PC files\n"
               "  /RX=[FOLDER/]PATTERN    receive the matching handheld files into FOLDER\n"
               "  /DEL=PATTERN            delete the matching handheld files\n"
               "  /CD=[X:]DIRECTORY       change the handheld's drive and directory\n"
               "  /DATE /TIME             set the handheld's date or time from the PC\n"
               "  /ABORT                  quit the handheld's transfer program at the end\n"
               "  /DOWNLOAD=HANDHELD      send the firmware (VARDEN, ORLE, VARDEN16, XT2) instead\n"
               "  /NOSCREEN /MINIMIZE     no progress display, or only the overall line\n"
               "  Commands run in the order given; wildcards * and ? match without regard to case.\n"
               "  Ctrl+C cancels. Prints the result as \"NNN text\" (also written to vlnkw.end in\n"
               "  the library folder) and exits with it (255 for results above 255).\n",
               out);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        Usage(stdout);
        return 0;
    }
    // Ctrl+C and a termination request cancel the job, so its partial files
    // are removed and the result file is written; a second one ends at once.
    struct sigaction action { };
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    const std::string line = cmdvlnk::JoinArguments(args);
    const int result = CMDVLNK(line.c_str());
    char text[VLNK_ERROR_TEXT_SIZE];
    VLNKGetErrorString(result, text);
    std::printf("%03d %s\n", result, text);
    return result > 255 ? 255 : result;
}
