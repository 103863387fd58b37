// SPDX-License-Identifier: GPL-3.0-or-later
// Latency from bytes on the line to the channel's step, the cost of an idle
// open channel, and receive throughput against the simulated handheld.
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sched.h>
#include <string>
#include <thread>
#include <utility>

#include "dospath.h"
#include "libdir.h"
#include "library.h"
#include "msgwindow.h"
#include "profile.h"
#include "pty_pair.h"
#include "simserver.h"
#include "vlnkw32.h"

namespace {

using Clock = std::chrono::steady_clock;

// A loaded library in a scratch folder with channel 1 open on a pty.
class OpenChannel {
public:
    OpenChannel()
    {
        char pattern[] = "/tmp/vlnk-bench-XXXXXX";
        m_dir = mkdtemp(pattern);
        setenv("VLNK_DIR", m_dir.c_str(), 1);
        vlnk::LibraryLoad();
        ok = pty.Ok() && VLNKOpenChannel(1, pty.SlavePath().c_str()) == 0;
    }
    ~OpenChannel()
    {
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
void LineToStep(benchmark::State& state, int threshold)
{
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

double ProcessCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// An open channel whose caller does nothing: the whole process's CPU share
// while it waits, including the watcher thread.
void BM_IdleOpenChannelCpu(benchmark::State& state)
{
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

// How the caller polls VLNKGetResult until the result is final: in a tight
// loop, as the design's transfer dialog does; pausing 200 us between polls, as
// the program's transfer dialog does once its own events are handled; or
// waiting up to 5 ms for the library's next message, as CMDVLNK does.
enum class Caller { Spinning, Pausing, Waiting };

// A receive from the simulated handheld on a pty: start, then polls until the
// result is final.
class ReceiveRig {
public:
    ReceiveRig(size_t size, bool paced, bool peerRealtime = false)
    {
        char pattern[] = "/tmp/vlnk-bench-XXXXXX";
        m_dir = mkdtemp(pattern);
        setenv("VLNK_DIR", m_dir.c_str(), 1);
        std::filesystem::create_directories(m_dir + "/hh/TRE/DATEN");
        std::string content(size, '\0');
        for (size_t i = 0; i < size; ++i) content[i] = static_cast<char>((i * 131) ^ (i >> 7));
        std::FILE* f = std::fopen((m_dir + "/hh/TRE/DATEN/BENCH.TSD").c_str(), "wb");
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
        vlnk::LibraryLoad();
        vlnksim::ServerOptions options;
        options.handheld.root = m_dir + "/hh";
        options.paced = paced;
        server = std::make_unique<vlnksim::CSimServer>(options);
        // The line runs at the port's remembered rate.
        vlnk::profile::WriteString(vlnk::IniPath(), "BaudRates", (server->PortPath() + "Baud").c_str(), "115200");
        server->Start();
        // A real handheld has a CPU of its own; on a machine whose cores
        // are taken by other work the simulated one would otherwise wait for
        // a core between its bytes, and its waiting would be counted as the
        // library's.
        if (peerRealtime && !RunRealtime()) return;
        ok = VLNKOpenChannel(1, server->PortPath().c_str()) == 0 && Run(VLNKSetDirectory(1, "\\TRE\\DATEN")) == 0;
    }
    ~ReceiveRig()
    {
        VLNKCloseChannel(1);
        if (server) server->Stop();
        vlnk::LibraryUnload();
        std::filesystem::remove_all(m_dir);
    }
    bool RunRealtime()
    {
        int tid;
        while ((tid = server->ServingThread()) == 0) std::this_thread::yield();
        sched_param sp{};
        sp.sched_priority = 10;
        return sched_setscheduler(tid, SCHED_FIFO, &sp) == 0;
    }
    static int Run(int started, Caller caller = Caller::Spinning)
    {
        if (started != 213) return started;
        int result;
        while ((result = VLNKGetResult(1, nullptr, nullptr)) == 213) {
            if (caller == Caller::Pausing) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            } else if (caller == Caller::Waiting) {
                vlnk::CMsgWindow* window = vlnk::TheWindow();
                if (window) window->PumpOneUntil(Clock::now() + std::chrono::milliseconds(5));
            }
        }
        return result;
    }
    int Receive(Caller caller)
    {
        const std::string target = m_dir + "/BENCH.TSD";
        std::remove(target.c_str());
        return Run(VLNKReceiveFile(1, target.c_str()), caller);
    }
    std::unique_ptr<vlnksim::CSimServer> server;
    bool ok = false;

private:
    std::string m_dir;
};

// Scheduler figures of a set of this process's threads, from /proc: CPU time,
// time spent ready to run but waiting for a core, and how often they went to
// sleep (each such sleep needs a wake-up to go on).
struct ThreadFigures {
    double cpuSeconds = 0;
    double queuedSeconds = 0;
    double sleeps = 0;
};

ThreadFigures ReadThreadFigures(const std::filesystem::path& task)
{
    ThreadFigures f;
    unsigned long long runNs = 0, waitNs = 0;
    std::ifstream(task / "schedstat") >> runNs >> waitNs;
    f.cpuSeconds = static_cast<double>(runNs) / 1e9;
    f.queuedSeconds = static_cast<double>(waitNs) / 1e9;
    std::ifstream status(task / "status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0) f.sleeps = std::stod(line.substr(24));
    return f;
}

// The simulated handheld's serving thread, and all other threads (the PC side:
// the caller's thread and the port's watcher).
std::pair<ThreadFigures, ThreadFigures> ReadSides(int handheldThread)
{
    ThreadFigures pc, handheld;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        const ThreadFigures f = ReadThreadFigures(entry.path());
        ThreadFigures& side = std::stoi(entry.path().filename().string()) == handheldThread ? handheld : pc;
        side.cpuSeconds += f.cpuSeconds;
        side.queuedSeconds += f.queuedSeconds;
        side.sleeps += f.sleeps;
    }
    return {pc, handheld};
}

// The baseline is the wire itself: every byte both ways - frames with their
// STX, length and checksum, ACKs, the PC's requests - at 10 bits per byte at
// 115200 baud, one after the other as the stop-and-wait exchange sends them.
// x_ideal is the measured time over that. The PC side's figures are per
// received KB (CPU) and per data block (sleeps, i.e. wake-ups needed);
// queue_ms is the time the threads of each side were ready but had no core.
void ReceiveBench(benchmark::State& state, size_t size, bool paced, Caller caller = Caller::Spinning,
                  bool peerRealtime = false)
{
    ReceiveRig rig(size, paced, peerRealtime);
    if (!rig.ok) {
        state.SkipWithError(peerRealtime ? "cannot reach the simulated handheld, or it may not run in real time "
                                           "(needs root or CAP_SYS_NICE)"
                                         : "cannot reach the simulated handheld");
        return;
    }
    const double kb = static_cast<double>(size) / 1024.0;
    const double blocks = static_cast<double>(size / 256 + 1);
    for (auto _ : state) {
        const uint64_t in0 = rig.server->BytesIn(), out0 = rig.server->BytesOut();
        const auto [pc0, hh0] = ReadSides(rig.server->ServingThread());
        const auto start = Clock::now();
        if (rig.Receive(caller) != 0) {
            state.SkipWithError("receive failed");
            return;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const auto [pc1, hh1] = ReadSides(rig.server->ServingThread());
        state.SetIterationTime(seconds);
        const uint64_t lineBytes = rig.server->BytesIn() - in0 + rig.server->BytesOut() - out0;
        const double idealSeconds = static_cast<double>(lineBytes) * 10.0 / 115200.0;
        state.counters["line_bytes"] = static_cast<double>(lineBytes);
        state.counters["ideal_ms"] = idealSeconds * 1e3;
        state.counters["x_ideal"] = seconds / idealSeconds;
        state.counters["pc_cpu_ms_per_KB"] = (pc1.cpuSeconds - pc0.cpuSeconds) * 1e3 / kb;
        state.counters["pc_sleeps_per_block"] = (pc1.sleeps - pc0.sleeps) / blocks;
        state.counters["pc_queue_ms"] = (pc1.queuedSeconds - pc0.queuedSeconds) * 1e3;
        state.counters["hh_queue_ms"] = (hh1.queuedSeconds - hh0.queuedSeconds) * 1e3;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

void BM_Receive990K_Unpaced(benchmark::State& state) { ReceiveBench(state, 990 * 1024, false); }
void BM_Receive100K_Unpaced(benchmark::State& state) { ReceiveBench(state, 100 * 1024, false); }
void BM_Receive100K_Paced115200(benchmark::State& state) { ReceiveBench(state, 100 * 1024, true); }
void BM_Receive100K_Paced115200_PausingCaller(benchmark::State& state)
{
    ReceiveBench(state, 100 * 1024, true, Caller::Pausing);
}
void BM_Receive100K_Paced115200_WaitingCaller(benchmark::State& state)
{
    ReceiveBench(state, 100 * 1024, true, Caller::Waiting);
}

// The same three callers with the simulated handheld running as a real one
// would, on a CPU of its own: run these with the cores kept busy to see what
// the library alone adds.
void BM_Receive100K_Paced115200_PeerOwnCpu(benchmark::State& state)
{
    ReceiveBench(state, 100 * 1024, true, Caller::Spinning, true);
}
void BM_Receive100K_Paced115200_PausingCaller_PeerOwnCpu(benchmark::State& state)
{
    ReceiveBench(state, 100 * 1024, true, Caller::Pausing, true);
}
void BM_Receive100K_Paced115200_WaitingCaller_PeerOwnCpu(benchmark::State& state)
{
    ReceiveBench(state, 100 * 1024, true, Caller::Waiting, true);
}

BENCHMARK(BM_Receive990K_Unpaced)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Receive100K_Unpaced)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
// Repetitions from the command line: --benchmark_repetitions=5
// --benchmark_report_aggregates_only=true, quiet and with the cores busy.
BENCHMARK(BM_Receive100K_Paced115200)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Receive100K_Paced115200_PausingCaller)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Receive100K_Paced115200_WaitingCaller)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Receive100K_Paced115200_PeerOwnCpu)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Receive100K_Paced115200_PausingCaller_PeerOwnCpu)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_Receive100K_Paced115200_WaitingCaller_PeerOwnCpu)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

// A line that goes away mid-receive (an adapter pulled): the time from the
// port closing to the port error, and the process's CPU meanwhile (a watcher
// that spun would show here). Once the library noticed within 2 s and used
// under 0.2 s of CPU.
void BM_VanishedPortEndsTheReceive(benchmark::State& state)
{
    for (auto _ : state) {
        ReceiveRig rig(30000, true, false);
        char folder[] = "/tmp/vlnk-bench-pc-XXXXXX";
        const std::string target = std::string(mkdtemp(folder)) + "/BENCH.TSD";
        if (!rig.ok || VLNKReceiveFile(1, target.c_str()) != 213) {
            state.SkipWithError("cannot reach the simulated handheld");
            return;
        }
        int flowing = 213;
        while ((flowing = VLNKGetResult(1, nullptr, nullptr)) == 213 && vlnk::Slot(1)->link.m_nDoneBytes < 512)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (flowing != 213) {
            std::filesystem::remove_all(folder);
            state.SkipWithError("the receive ended before the port closed");
            return;
        }
        const auto start = Clock::now();
        const double cpu0 = ProcessCpuSeconds();
        rig.server.reset(); // the master side closes
        int result = ReceiveRig::Run(213, Caller::Waiting);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        state.counters["cpu_s"] = ProcessCpuSeconds() - cpu0;
        if (result != 217) state.SkipWithError("the receive did not end with the port error 217");
        std::filesystem::remove_all(folder);
    }
}
BENCHMARK(BM_VanishedPortEndsTheReceive)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// DOS wildcards with many stars against a long name that does not match:
// linear, not exponential (once under 50 ms; far below on any machine).
void BM_WildcardManyStars(benchmark::State& state)
{
    const std::string pattern = std::string(50, '*') + "a*a*a*a*a*b";
    const std::string name(250, 'a');
    for (auto _ : state) benchmark::DoNotOptimize(vlnk::WildcardMatch(pattern, name));
}
BENCHMARK(BM_WildcardManyStars)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
