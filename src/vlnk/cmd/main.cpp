// SPDX-License-Identifier: LGPL-2.1-or-later
// cmdvlnk: runs one CMDVLNK job from the command line, prints its result and
// exits with it.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <getopt.h>
#include <string>
#include <vector>

#include "arguments.h"
#include "tresversion.h"
#include "vlnkw32.h"

namespace {

void OnSignal(int) { VLNKCMDMessageHdlr(nullptr, VLNK_WM_COMMAND, VLNK_IDCANCEL, 0); }

void Usage(std::FILE* out)
{
    std::fputs("usage: cmdvlnk [--help | --version] [--] /COMMAND[=value] ...\n"
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
               "  the library folder) and exits with it (255 for results above 255).\n"
               "  An unknown option ends with 001 before the job starts.\n"
               "  --help     this text\n"
               "  --version  the program's and the library's version\n",
               out);
}

// An option the program does not know is a command line the job cannot run:
// the same result as a bad command, so scripts need to look at one number.
int BadOptions()
{
    std::fputs("Try 'cmdvlnk --help' for more information.\n", stderr);
    char text[VLNK_ERROR_TEXT_SIZE];
    VLNKGetErrorString(VLNK_CMD_BAD_COMMAND_LINE, text);
    std::printf("%03d %s\n", VLNK_CMD_BAD_COMMAND_LINE, text);
    return VLNK_CMD_BAD_COMMAND_LINE;
}

} // namespace

int main(int argc, char** argv)
{
    // Only options before the first command: "+" stops at the first
    // argument that is none, so the job's own "/..." language and every
    // value in it reach CMDVLNK as written.
    static const option kOptions[] = {
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'V'},
        {nullptr, 0, nullptr, 0},
    };
    int opt;
    while ((opt = getopt_long(argc, argv, "+h", kOptions, nullptr)) != -1) {
        switch (opt) {
        case 'h': Usage(stdout); return 0;
        case 'V': {
            char version[VLNK_VERSION_TEXT_SIZE];
            VLNKGetVersion(version);
            std::printf("cmdvlnk (Tresmon) %s\n%s\n", TRES_VERSION, version);
            return 0;
        }
        default: return BadOptions();
        }
    }
    const std::vector<std::string> args(argv + optind, argv + argc);
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
