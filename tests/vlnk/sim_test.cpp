// The library against the handheld simulator on a real pseudo-terminal line.
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "library.h"
#include "vlnk_env.h"
#include "vlnkw32.h"

extern char** environ;

using namespace vlnktest;
using vlnk::StepEvent;

namespace {

// Runs the simulator and reads the port path from its first line.
class Simulator {
 public:
  explicit Simulator(std::vector<std::string> args) {
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    args.insert(args.begin(), VLNK_SIM_PATH);
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (posix_spawn(&m_pid, VLNK_SIM_PATH, &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (std::FILE* in = fdopen(out[0], "r")) {
      char line[256];
      if (std::fgets(line, sizeof line, in)) {
        m_path = line;
        while (!m_path.empty() && m_path.back() == '\n') m_path.pop_back();
      }
      std::fclose(in);
    }
  }
  ~Simulator() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGTERM);
    int status;
    waitpid(m_pid, &status, 0);
  }
  const std::string& Path() const { return m_path; }

 private:
  pid_t m_pid = -1;
  std::string m_path;
};

// Sends ENQ on an open channel and returns the byte that answered it, read in
// the step the line notification ran.
int ProbeOnce(int channel) {
  vlnk::LinkState& link = vlnk::Slot(channel)->link;
  int answer = -1;
  link.BeginCommand(vlnk::kCheckConnect, [&](vlnk::LinkState& l, StepEvent event, int*, char*) {
    if (event == StepEvent::CommsEvent) {
      uint8_t byte = 0;
      if (l.m_Port.GetChar(byte) == 0) answer = byte;
      l.m_bDone = true;
    }
    if (event == StepEvent::Poll && l.m_bDone) {
      l.EndCommand();
      return 0;
    }
    return 213;
  });
  link.m_bDone = false;
  link.m_Port.ArmNotify(1, -1);
  link.StartTimer(5000);
  link.m_Port.SendChar(0x05);
  PumpUntil([&] { return VLNKGetResult(channel, nullptr, nullptr) != 213; }, 5000);
  return answer;
}

using SimulatorTest = LibraryTest;

TEST_F(SimulatorTest, CableHandheldAnswersEnqWithAck) {
  Simulator sim({});
  ASSERT_FALSE(sim.Path().empty());
  ASSERT_EQ(VLNKOpenChannel(1, sim.Path().c_str()), 0);
  EXPECT_EQ(ProbeOnce(1), 0x06);
  EXPECT_EQ(ProbeOnce(1), 0x06);  // and again: the port re-arms cleanly
  EXPECT_EQ(VLNKCloseChannel(1), 0);
}

TEST_F(SimulatorTest, InfraredHandheldAnswersEnqWithI) {
  Simulator sim({"--ir"});
  ASSERT_FALSE(sim.Path().empty());
  WriteIni("[Ports]\nCOM2=" + sim.Path() + "\n");
  ASSERT_EQ(VLNKOpenChannel(2, "COM2"), 0);
  EXPECT_EQ(ProbeOnce(2), 'I');
  EXPECT_EQ(VLNKCloseChannel(2), 0);
}

}  // namespace
