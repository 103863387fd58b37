// vlnk-handheld-sim: plays the handheld on a pseudo-terminal.
//
// Prints the path of the port to open on its first line, then answers until
// SIGTERM or SIGINT (or until its parent ends).
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/prctl.h>

#include "iniport.h"
#include "simserver.h"

namespace {

volatile int g_stop = 0;
vlnksim::CSimServer* g_server = nullptr;

void OnSignal(int)
{
    g_stop = 1;
    if (g_server) g_server->RequestStop();
}

void Usage(std::FILE* out)
{
    std::fprintf(out, "usage: vlnk-handheld-sim [options]\n"
                      "  Opens a pseudo-terminal, prints its path and plays the handheld on it.\n"
                      "  --root DIR        host folder served as drive C:, TRE/DATEN is created below\n"
                      "                    it (default: the current folder, as it is)\n"
                      "  --user N          user number answered to \"<N>HELLO<N>\" (default 1)\n"
                      "  --free BYTES      free space reported (default 1048576)\n"
                      "  --battery PCT     battery figure reported (default 85)\n"
                      "  --ir              answer ENQ with \"I\" and number the data blocks\n"
                      "  --baud RATE       answer only while the line runs at RATE\n"
                      "  --paced           send and take each byte at the byte time of the line's rate\n"
                      "  --faults RATE     chance per message of a line fault, 0..1 (default 0)\n"
                      "  --fault-kinds L   comma list of corrupt,drop,lostack,repeat (default all)\n"
                      "  --seed N          random seed of the faults\n"
                      "  --resend-ms N     resend an unacknowledged entry frame after N ms (default 300)\n"
                      "  --mute            never answer\n"
                      "  --capture FILE    store everything received in FILE and answer nothing\n"
                      "  --ini-port COMn   write COMn=<pty path> into section Ports of vlnkw.ini in the\n"
                      "                    library folder ($VLNK_DIR, else $XDG_CONFIG_HOME/vlnk, else\n"
                      "                    ~/.config/vlnk), so that a program finds the handheld as COMn\n");
}

} // namespace

int main(int argc, char** argv)
{
    vlnksim::ServerOptions options;
    options.handheld.root = ".";
    options.handheld.createDataDir = false; // only in a folder named on purpose
    std::string iniPort;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "vlnk-handheld-sim: %s needs a value\n", arg.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--ir") {
            options.handheld.infrared = true;
        } else if (arg == "--root") {
            options.handheld.root = value();
            options.handheld.createDataDir = true;
        } else if (arg == "--user") {
            options.handheld.user = std::atoi(value().c_str());
        } else if (arg == "--free") {
            options.handheld.freeBytes = static_cast<uint32_t>(std::strtoul(value().c_str(), nullptr, 10));
        } else if (arg == "--battery") {
            options.handheld.battery = std::atoi(value().c_str());
        } else if (arg == "--baud") {
            options.onlyBaud = std::atol(value().c_str());
        } else if (arg == "--paced") {
            options.paced = true;
        } else if (arg == "--faults") {
            options.handheld.faultRate = std::atof(value().c_str());
        } else if (arg == "--fault-kinds") {
            const std::string kinds = "," + value() + ",";
            options.corrupt = kinds.find(",corrupt,") != std::string::npos;
            options.drop = kinds.find(",drop,") != std::string::npos;
            options.handheld.lostAck = kinds.find(",lostack,") != std::string::npos;
            options.handheld.repeatEntry = kinds.find(",repeat,") != std::string::npos;
        } else if (arg == "--seed") {
            options.handheld.seed = static_cast<uint32_t>(std::strtoul(value().c_str(), nullptr, 10));
        } else if (arg == "--resend-ms") {
            options.handheld.resendMs = std::atoi(value().c_str());
        } else if (arg == "--mute") {
            options.handheld.mute = true;
        } else if (arg == "--capture") {
            options.capture = value();
        } else if (arg == "--ini-port") {
            iniPort = value();
        } else if (arg == "--help") {
            Usage(stdout);
            return 0;
        } else {
            Usage(stderr);
            return 2;
        }
    }
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    struct sigaction action { };
    action.sa_handler = OnSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    vlnksim::CSimServer server(options);
    g_server = &server;
    if (!server.Ok()) {
        std::fprintf(stderr, "vlnk-handheld-sim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    if (!iniPort.empty()) {
        const std::string ini = vlnksim::LibraryIniPath();
        if (!vlnksim::WriteIniKey(ini, "Ports", iniPort, server.PortPath())) {
            std::fprintf(stderr, "vlnk-handheld-sim: cannot write %s\n", ini.c_str());
            return 1;
        }
    }
    std::printf("%s\n", server.PortPath().c_str());
    std::fflush(stdout);
    server.Run(&g_stop);
    g_server = nullptr;
    return 0;
}
