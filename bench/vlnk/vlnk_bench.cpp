// Latency from bytes on the line to the channel's step, the cost of an idle
// open channel, and receive throughput against the simulated handheld.
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "libdir.h"
#include "library.h"
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

// A receive from the simulated handheld on a pty, as the transfer dialog runs
// it: start, then VLNKGetResult in a tight loop until the result is final.
class ReceiveRig {
public:
    ReceiveRig(size_t size, bool paced)
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
        ok = VLNKOpenChannel(1, server->PortPath().c_str()) == 0 && Run(VLNKSetDirectory(1, "\\TRE\\DATEN")) == 0;
    }
    ~ReceiveRig()
    {
        VLNKCloseChannel(1);
        server->Stop();
        vlnk::LibraryUnload();
        std::filesystem::remove_all(m_dir);
    }
    static int Run(int started)
    {
        if (started != 213) return started;
        int result;
        while ((result = VLNKGetResult(1, nullptr, nullptr)) == 213) { }
        return result;
    }
    int Receive()
    {
        const std::string target = m_dir + "/BENCH.TSD";
        std::remove(target.c_str());
        return Run(VLNKReceiveFile(1, target.c_str()));
    }
    std::unique_ptr<vlnksim::CSimServer> server;
    bool ok = false;

private:
    std::string m_dir;
};

void ReceiveBench(benchmark::State& state, size_t size, bool paced)
{
    ReceiveRig rig(size, paced);
    if (!rig.ok) {
        state.SkipWithError("cannot reach the simulated handheld");
        return;
    }
    double idealSeconds = 0;
    for (auto _ : state) {
        const uint64_t in0 = rig.server->BytesIn(), out0 = rig.server->BytesOut();
        const auto start = Clock::now();
        if (rig.Receive() != 0) {
            state.SkipWithError("receive failed");
            return;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        // Every byte of the exchange at 10 bits per byte, both directions.
        const uint64_t lineBytes = rig.server->BytesIn() - in0 + rig.server->BytesOut() - out0;
        idealSeconds = static_cast<double>(lineBytes) * 10.0 / 115200.0;
        state.counters["x_ideal_115200"] = seconds / idealSeconds;
        state.counters["line_bytes"] = static_cast<double>(lineBytes);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

void BM_Receive990K_Unpaced(benchmark::State& state) { ReceiveBench(state, 990 * 1024, false); }
void BM_Receive100K_Unpaced(benchmark::State& state) { ReceiveBench(state, 100 * 1024, false); }
void BM_Receive100K_Paced115200(benchmark::State& state) { ReceiveBench(state, 100 * 1024, true); }

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
BENCHMARK(BM_Receive100K_Paced115200)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
