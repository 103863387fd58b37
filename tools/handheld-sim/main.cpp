// vlnk-handheld-sim: plays the handheld on a pseudo-terminal.
//
// Prints the path of the port to open on its first line, then answers until
// SIGTERM or SIGINT (or until its parent ends).
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include "handheld.h"
#include "pty_pair.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) { g_stop = 1; }

void Usage() {
  std::fprintf(stderr,
               "usage: vlnk-handheld-sim [--ir]\n"
               "  Opens a pseudo-terminal, prints its path and answers ENQ with ACK\n"
               "  (with --ir: with \"I\", as through an infrared adapter).\n");
}

}  // namespace

int main(int argc, char** argv) {
  vlnksim::HandheldOptions options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--ir") == 0) {
      options.infrared = true;
    } else {
      Usage();
      return std::strcmp(argv[i], "--help") == 0 ? 0 : 2;
    }
  }
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);

  vlnksim::CPtyPair pty;
  if (!pty.Ok()) {
    std::fprintf(stderr, "vlnk-handheld-sim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
    return 1;
  }
  std::printf("%s\n", pty.SlavePath().c_str());
  std::fflush(stdout);

  vlnksim::CHandheld handheld(options);
  while (!g_stop) {
    pollfd p {pty.Master(), POLLIN, 0};
    if (poll(&p, 1, -1) < 0) continue;
    const std::string received = pty.Read(4096, 0);
    const std::string reply = handheld.Feed(received);
    if (!reply.empty() && !pty.Write(reply)) std::fprintf(stderr, "vlnk-handheld-sim: write failed\n");
  }
  return 0;
}
