// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a CMDVLNK command line: parsed, and every value run through
// the path and wildcard helpers the interpreter applies to it. Checks the
// promises the run relies on: a good parse holds at most 30 commands, each
// value non-empty and within a token, and a port name that a channel opens.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cmdline.h"
#include "dospath.h"

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const vlnk::ParseOutcome out = vlnk::ParseCommandLine(line);
    Require(!out.bOk || out.status.empty());
    if (out.bOk) {
        Require(out.job.list.size() <= vlnk::kCommandListMax);
        Require(out.job.mode != vlnk::PortMode::GivenPort
                || (!out.job.port.empty() && out.job.port.size() <= vlnk::kCmdPortMax));
        Require(!out.job.bDownload || (out.job.nMachine >= 1 && out.job.nMachine <= 4));
    }
    size_t sink = out.log.size();
    for (const vlnk::CmdEntry& entry : out.job.list) {
        Require(entry.code == vlnk::CmdCode::Date || entry.code == vlnk::CmdCode::Time
                || (!entry.value.empty() && entry.value.size() < vlnk::kTokenMax));
        const vlnk::PcPattern pattern = vlnk::SplitPcPattern(vlnk::DosValueToPath(entry.value));
        Require(pattern.dir.empty() || pattern.dir.back() == '/');
        Require(pattern.name.find('/') == std::string::npos);
        sink += vlnk::WildcardMatch(pattern.name, line.substr(0, 255)) ? 1 : 0;
    }
    // The line against itself as a pattern: the matcher must stay quick on any text.
    sink += vlnk::WildcardMatch(line.substr(0, 128), line.substr(size / 2)) ? 1 : 0;
    asm volatile("" : : "r"(sink));
    return 0;
}
