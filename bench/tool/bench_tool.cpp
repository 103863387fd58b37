// SPDX-License-Identifier: GPL-3.0-or-later
// tresmon-tool as a user runs it, against what the user would run instead:
// iconv for re-coding a survey, LibreOffice for opening its data as a
// spreadsheet and saving it. Every case starts the real programs (posix_spawn,
// waitpid) on one generated survey of 30,000 rows with a CP850 comment on
// every sixth row (about 990 KB).
//
// A case that compares runs the tool and its baseline alternately, five
// times each, and reports the medians and their ratio as counters ("ratio"
// is tool / baseline, "goal" the largest ratio that meets the target); its
// own time is the tool's. TRES_BENCH_TOOL names another tresmon-tool to
// measure (an older build, say).
#include "survey.h"

#include "tredoc.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 5;

const char* const kComments[] = {
    "Schieberkappe Höhe Straße, Nordseite",
    "Grünfläche, Zaun öffnen, Tor zu",
    "Überführung Bach, Böschung steil",
    "Meßpfahl Kreuzung Süd, Kappe grün",
};

struct CCommand {
    std::vector<std::string> argv;
    std::string stdoutPath; // empty: /dev/null
};

// Wall-clock milliseconds from the spawn to the end of the process, or -1
// when it could not be started or did not exit with 0. Dirty data of the
// run before is written out first, untimed: on ext4 a program's fsync would
// otherwise also flush what the other program left unflushed.
double RunMs(const CCommand& c)
{
    ::sync();
    std::vector<char*> argv;
    for (const std::string& a : c.argv) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string out = c.stdoutPath.empty() ? "/dev/null" : c.stdoutPath;
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) { }
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// The file's bytes and its folder's entry on the disk, as a save does it.
void Flush(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    const int dfd = ::open(fs::path(path).parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

bool OnPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string rest = path ? path : "/usr/bin:/bin";
    size_t pos = 0;
    while (pos <= rest.size()) {
        const size_t colon = std::min(rest.find(':', pos), rest.size());
        const fs::path candidate = fs::path(rest.substr(pos, colon - pos)) / name;
        if (::access(candidate.c_str(), X_OK) == 0) return true;
        pos = colon + 1;
    }
    return false;
}

class CInputs {
public:
    CInputs()
    {
        std::string tmpl = (fs::temp_directory_path() / "bench-tool.XXXXXX").string();
        if (!mkdtemp(tmpl.data())) {
            std::perror("bench-tool: mkdtemp");
            std::exit(2);
        }
        dir = tmpl;
        const char* other = std::getenv("TRES_BENCH_TOOL");
        tool = other && *other ? other : TRESMON_TOOL;

        gensurvey::SurveyOptions options;
        options.seed = 4711;
        options.rows = 30'000;
        CTreDoc doc;
        gensurvey::BuildSurvey(doc, options);
        for (int r = 6; r <= doc.GetRowCount(); r += 6) doc.SetComment(r, kComments[(r / 6) % std::size(kComments)]);
        survey = (dir / "survey.tsd").string();
        if (!doc.OnSaveDocument(survey)) {
            std::fprintf(stderr, "bench-tool: cannot write %s\n", survey.c_str());
            std::exit(2);
        }
        bytes = fs::file_size(survey);
        rows = doc.GetRowCount();
        // LibreOffice gets the same data as the tool's own export.
        csv = (dir / "survey.csv").string();
        if (RunMs({{tool, "csv", survey, csv}, {}}) < 0) {
            std::fprintf(stderr, "bench-tool: %s csv failed\n", tool.c_str());
            std::exit(2);
        }
    }
    ~CInputs()
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    std::string Out(const char* name) const { return (dir / name).string(); }

    fs::path dir;
    std::string tool, survey, csv;
    uintmax_t bytes = 0;
    int rows = 0;
};

CInputs& Inputs()
{
    static CInputs inputs;
    return inputs;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

CCommand Iconv() { return {{"iconv", "-f", "CP850", "-t", "UTF-8", Inputs().survey}, Inputs().Out("iconv.txt")}; }

CCommand ToolConvert() { return {{Inputs().tool, "convert", Inputs().survey, Inputs().Out("converted.tsd")}, {}}; }

CCommand ToolCsv() { return {{Inputs().tool, "csv", Inputs().survey, Inputs().Out("tool.csv")}, {}}; }

// Semicolons, double quotes, UTF-8, first line 1: the tool's export as it is.
CCommand LibreOfficeCsv()
{
    const std::string profile = "file://" + Inputs().Out("lo-profile");
    return {{"soffice", "-env:UserInstallation=" + profile, "--headless", "--norestore", "--infilter=CSV:59,34,76,1",
             "--convert-to", "csv:Text - txt - csv (StarCalc):59,34,76", "--outdir", Inputs().Out("lo-out"),
             Inputs().csv},
            {}};
}

void Label(benchmark::State& state)
{
    state.SetLabel(std::to_string(Inputs().bytes) + " bytes, " + std::to_string(Inputs().rows) + " rows");
}

// One program alone, five runs: Google Benchmark reports their mean, the
// median is a counter.
void Alone(benchmark::State& state, const CCommand& command, bool flush = false)
{
    std::vector<double> ms;
    for (auto _ : state) {
        const double run = RunMs(command);
        if (run < 0) {
            state.SkipWithError(("failed: " + command.argv[0]).c_str());
            break;
        }
        const auto flushStart = std::chrono::steady_clock::now();
        if (flush) Flush(command.stdoutPath);
        const double t
            = run + std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - flushStart).count();
        ms.push_back(t);
        state.SetIterationTime(t / 1000.0);
    }
    state.counters["median_ms"] = Median(ms);
    Label(state);
}

// The tool and its baseline in turns (which goes first alternates, so a
// machine that gets busier hurts both alike).
void Pair(benchmark::State& state, const CCommand& tool, const CCommand& base, double goal, bool flushBase = false)
{
    std::vector<double> toolMs, baseMs;
    int i = 0;
    for (auto _ : state) {
        double t = -1, b = -1;
        auto runBase = [&] {
            const double run = RunMs(base);
            if (run < 0) return -1.0;
            const auto flushStart = std::chrono::steady_clock::now();
            if (flushBase) Flush(base.stdoutPath);
            return run
                   + std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - flushStart).count();
        };
        if (i++ % 2 == 0) {
            t = RunMs(tool);
            b = runBase();
        } else {
            b = runBase();
            t = RunMs(tool);
        }
        if (t < 0 || b < 0) {
            state.SkipWithError(("failed: " + (t < 0 ? tool : base).argv[0]).c_str());
            break;
        }
        toolMs.push_back(t);
        baseMs.push_back(b);
        state.SetIterationTime(t / 1000.0);
    }
    const double mt = Median(toolMs), mb = Median(baseMs);
    state.counters["tool_ms"] = mt;
    state.counters["base_ms"] = mb;
    state.counters["ratio"] = mb > 0 ? mt / mb : 0;
    state.counters["goal"] = goal;
    Label(state);
}

void BM_Iconv(benchmark::State& state) { Alone(state, Iconv()); }

// iconv's output flushed to the disk as a save flushes the tool's.
void BM_IconvFsync(benchmark::State& state) { Alone(state, Iconv(), true); }

void BM_ToolConvert(benchmark::State& state) { Alone(state, ToolConvert()); }

// Goal: at most 3 times iconv. The tool's save flushes the file to the disk,
// iconv's output is not flushed here; the next case evens that out.
void BM_ToolConvertVsIconv(benchmark::State& state) { Pair(state, ToolConvert(), Iconv(), 3.0); }

void BM_ToolConvertVsIconvFsync(benchmark::State& state) { Pair(state, ToolConvert(), Iconv(), 3.0, true); }

// Starting the tool at all: its usage text against iconv's whole conversion.
void BM_ToolHelpVsIconv(benchmark::State& state) { Pair(state, {{Inputs().tool, "--help"}, {}}, Iconv(), 1.0); }

void BM_ToolCsv(benchmark::State& state) { Alone(state, ToolCsv()); }

void BM_LibreOfficeCsv(benchmark::State& state)
{
    if (!OnPath("soffice")) {
        state.SkipWithError("soffice is not installed: no LibreOffice baseline");
        for (auto _ : state) { }
        return;
    }
    Alone(state, LibreOfficeCsv());
}

// Goal: at least 50 times faster than LibreOffice, a ratio of 0.02 or less.
void BM_ToolCsvVsLibreOffice(benchmark::State& state)
{
    if (!OnPath("soffice")) {
        state.SkipWithError("soffice is not installed: no LibreOffice baseline");
        for (auto _ : state) { }
        return;
    }
    Pair(state, ToolCsv(), LibreOfficeCsv(), 1.0 / 50);
}

// Warms the page cache, the programs and LibreOffice's new profile, which
// its first start creates, so no timed run pays for that.
void BM_WarmUp(benchmark::State& state)
{
    for (auto _ : state) {
        RunMs(Iconv());
        RunMs(ToolConvert());
        RunMs(ToolCsv());
        if (OnPath("soffice")) RunMs(LibreOfficeCsv());
        state.SetIterationTime(0);
    }
}

#define TOOL_CASE(fn) BENCHMARK(fn)->Iterations(kRuns)->UseManualTime()->Unit(benchmark::kMillisecond)

BENCHMARK(BM_WarmUp)->Iterations(1)->UseManualTime();
TOOL_CASE(BM_Iconv);
TOOL_CASE(BM_IconvFsync);
TOOL_CASE(BM_ToolConvert);
TOOL_CASE(BM_ToolConvertVsIconv);
TOOL_CASE(BM_ToolConvertVsIconvFsync);
TOOL_CASE(BM_ToolHelpVsIconv);
TOOL_CASE(BM_ToolCsv);
TOOL_CASE(BM_LibreOfficeCsv);
TOOL_CASE(BM_ToolCsvVsLibreOffice);

} // namespace

BENCHMARK_MAIN();
