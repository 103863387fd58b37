// SPDX-License-Identifier: GPL-3.0-or-later
// vlnk-handheld-sim: plays the handheld on a pseudo-terminal.
//
// Prints the path of the port to open on its first line, then answers until
// SIGTERM or SIGINT (or until its parent ends).
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <getopt.h>
#include <string>
#include <strings.h>
#include <sys/prctl.h>

#include "iniport.h"
#include "simserver.h"
#include "tresversion.h"

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
                      "  --byte-errors P   chance per byte sent of being replaced by another byte,\n"
                      "                    0..1 (default 0): line noise\n"
                      "  --seed N          random seed of the faults and the noise (default 1)\n"
                      "  --resend-ms N     resend an unacknowledged entry frame after N ms (default 300)\n"
                      "  --mute            never answer\n"
                      "  --capture FILE    store everything received in FILE and answer nothing\n"
                      "  --ini-port COMn   write COMn=<pty path> into section Ports of vlnkw.ini in the\n"
                      "                    library folder ($VLNK_DIR, else $XDG_CONFIG_HOME/vlnk, else\n"
                      "                    ~/.config/vlnk), so that a program finds the handheld as COMn\n"
                      "  --help            this text\n"
                      "  --version         the program's version\n");
}

// The usage status of getopt programs: the caller's command line was wrong.
constexpr int kUsageStatus = 2;

[[noreturn]] void BadUsage(const char* fmt, const char* what)
{
    std::fprintf(stderr, "vlnk-handheld-sim: ");
    std::fprintf(stderr, fmt, what);
    std::fprintf(stderr, "\nTry 'vlnk-handheld-sim --help' for more information.\n");
    std::exit(kUsageStatus);
}

// A whole decimal number in [lo, hi]; anything else ends the program, so a
// typing error is not served as a silent 0.
long Number(const char* option, const char* text, long lo, long hi)
{
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(text, &end, 10);
    if (errno || end == text || *end != '\0' || n < lo || n > hi) {
        const std::string what = std::string(text) + "' for --" + option;
        BadUsage("invalid number '%s", what.c_str());
    }
    return n;
}

double Rate(const char* option, const char* text)
{
    char* end = nullptr;
    const double r = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(r >= 0.0 && r <= 1.0)) {
        const std::string what = std::string(text) + "' for --" + option;
        BadUsage("invalid chance '%s (0..1)", what.c_str());
    }
    return r;
}

// The faults to inject, each named: a misspelt kind would else leave the
// line without the faults the run is meant to survive.
void FaultKinds(const char* list, vlnksim::ServerOptions& options)
{
    options.corrupt = options.drop = options.handheld.lostAck = options.handheld.repeatEntry = false;
    const std::string text = list;
    size_t from = 0;
    for (;;) {
        const size_t comma = text.find(',', from);
        const std::string kind = text.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        if (kind == "corrupt") options.corrupt = true;
        else if (kind == "drop") options.drop = true;
        else if (kind == "lostack") options.handheld.lostAck = true;
        else if (kind == "repeat") options.handheld.repeatEntry = true;
        else BadUsage("invalid fault kind '%s' for --fault-kinds (corrupt, drop, lostack, repeat)", kind.c_str());
        if (comma == std::string::npos) return;
        from = comma + 1;
    }
}

// A port name as the library maps it: COM and a number from 1, in any case.
std::string ComPort(const char* name)
{
    const std::string port = name;
    const bool digits
        = port.size() > 3 && port.size() <= 6 && port.find_first_not_of("0123456789", 3) == std::string::npos;
    if (!digits || strncasecmp(name, "COM", 3) != 0 || std::strtol(name + 3, nullptr, 10) < 1)
        BadUsage("invalid port '%s' for --ini-port (COM1, COM2, ...)", name);
    return port;
}

enum Option : int {
    kRoot = 256,
    kUser,
    kFree,
    kBattery,
    kIr,
    kBaud,
    kPaced,
    kFaults,
    kFaultKinds,
    kByteErrors,
    kSeed,
    kResendMs,
    kMute,
    kCapture,
    kIniPort,
    kHelp,
    kVersion
};

} // namespace

int main(int argc, char** argv)
{
    vlnksim::ServerOptions options;
    options.handheld.root = ".";
    options.handheld.createDataDir = false; // only in a folder named on purpose
    std::string iniPort;
    static const option kOptions[] = {
        {"root", required_argument, nullptr, kRoot},
        {"user", required_argument, nullptr, kUser},
        {"free", required_argument, nullptr, kFree},
        {"battery", required_argument, nullptr, kBattery},
        {"ir", no_argument, nullptr, kIr},
        {"baud", required_argument, nullptr, kBaud},
        {"paced", no_argument, nullptr, kPaced},
        {"faults", required_argument, nullptr, kFaults},
        {"fault-kinds", required_argument, nullptr, kFaultKinds},
        {"byte-errors", required_argument, nullptr, kByteErrors},
        {"seed", required_argument, nullptr, kSeed},
        {"resend-ms", required_argument, nullptr, kResendMs},
        {"mute", no_argument, nullptr, kMute},
        {"capture", required_argument, nullptr, kCapture},
        {"ini-port", required_argument, nullptr, kIniPort},
        {"help", no_argument, nullptr, kHelp},
        {"version", no_argument, nullptr, kVersion},
        {nullptr, 0, nullptr, 0},
    };
    int opt;
    while ((opt = getopt_long(argc, argv, "", kOptions, nullptr)) != -1) {
        switch (opt) {
        case kIr: options.handheld.infrared = true; break;
        case kRoot:
            options.handheld.root = optarg;
            options.handheld.createDataDir = true;
            break;
        case kUser: options.handheld.user = static_cast<int>(Number("user", optarg, 0, INT32_MAX)); break;
        case kFree: options.handheld.freeBytes = static_cast<uint32_t>(Number("free", optarg, 0, UINT32_MAX)); break;
        case kBattery: options.handheld.battery = static_cast<int>(Number("battery", optarg, 0, 255)); break;
        case kBaud: options.onlyBaud = Number("baud", optarg, 1, 4000000); break;
        case kPaced: options.paced = true; break;
        case kFaults: options.handheld.faultRate = Rate("faults", optarg); break;
        case kByteErrors: options.byteErrors = Rate("byte-errors", optarg); break;
        case kFaultKinds: FaultKinds(optarg, options); break;
        case kSeed: options.handheld.seed = static_cast<uint32_t>(Number("seed", optarg, 0, UINT32_MAX)); break;
        case kResendMs: options.handheld.resendMs = static_cast<int>(Number("resend-ms", optarg, 1, 600000)); break;
        case kMute: options.handheld.mute = true; break;
        case kCapture: options.capture = optarg; break;
        case kIniPort: iniPort = ComPort(optarg); break;
        case kHelp: Usage(stdout); return 0;
        case kVersion: std::printf("vlnk-handheld-sim (Tresmon) %s\n", TRES_VERSION); return 0;
        default: // getopt_long has named the option
            std::fprintf(stderr, "Try 'vlnk-handheld-sim --help' for more information.\n");
            return kUsageStatus;
        }
    }
    if (optind < argc) BadUsage("unexpected argument '%s'", argv[optind]);
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
