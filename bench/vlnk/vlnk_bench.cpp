// Latency from bytes on the line to the channel's step, and the cost of an
// idle open channel.
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>

#include "library.h"
#include "pty_pair.h"
#include "vlnkw32.h"

namespace {

using Clock = std::chrono::steady_clock;

// A loaded library in a scratch folder with channel 1 open on a pty.
class OpenChannel {
 public:
  OpenChannel() {
    char pattern[] = "/tmp/vlnk-bench-XXXXXX";
    m_dir = mkdtemp(pattern);
    setenv("VLNK_DIR", m_dir.c_str(), 1);
    vlnk::LibraryLoad();
    ok = pty.Ok() && VLNKOpenChannel(1, pty.SlavePath().c_str()) == 0;
  }
  ~OpenChannel() {
    vlnk::LibraryUnload();
    std::filesystem::remove_all(m_dir);
  }
  vlnk::LinkState& Link() { return vlnk::Slot(1)->link; }

  vlnksim::CPtyPair pty;
  bool ok = false;

 private:
  std::string m_dir;
};

// Arms the receive threshold, puts that many bytes on the line and polls
// VLNKGetResult as a caller does until the step has run. Measured: from the
// write to the step.
void LineToStep(benchmark::State& state, int threshold) {
  OpenChannel channel;
  if (!channel.ok) {
    state.SkipWithError("cannot open a channel on a pty");
    return;
  }
  vlnk::LinkState& link = channel.Link();
  Clock::time_point stepped;
  bool ran = false;
  link.BeginCommand(vlnk::kGetPath, [&](vlnk::LinkState& l, vlnk::StepEvent event, int*, char*) {
    if (event == vlnk::StepEvent::CommsEvent) {
      stepped = Clock::now();
      ran = true;
      l.m_Port.FlushReceive();
    }
    return 213;
  });
  const std::string bytes(static_cast<size_t>(threshold), '\x06');
  for (auto _ : state) {
    ran = false;
    link.m_Port.ArmNotify(threshold, -1);
    const auto start = Clock::now();
    channel.pty.Write(bytes);
    while (!ran) VLNKGetResult(1, nullptr, nullptr);
    state.SetIterationTime(std::chrono::duration<double>(stepped - start).count());
  }
}

void BM_LineToStep_OneByte(benchmark::State& state) { LineToStep(state, 1); }
void BM_LineToStep_Frame281(benchmark::State& state) { LineToStep(state, 281); }

BENCHMARK(BM_LineToStep_OneByte)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(BM_LineToStep_Frame281)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);

double ProcessCpuSeconds() {
  timespec ts {};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// An open channel whose caller does nothing: the whole process's CPU share
// while it waits, including the watcher thread.
void BM_IdleOpenChannelCpu(benchmark::State& state) {
  OpenChannel channel;
  if (!channel.ok) {
    state.SkipWithError("cannot open a channel on a pty");
    return;
  }
  channel.pty.Write("stray bytes nobody asked for");
  for (auto _ : state) {
    const double cpu0 = ProcessCpuSeconds();
    const auto wall0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();
    state.counters["cpu_percent_of_core"] = 100.0 * (ProcessCpuSeconds() - cpu0) / wall;
  }
}
BENCHMARK(BM_IdleOpenChannelCpu)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
