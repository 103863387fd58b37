// SPDX-License-Identifier: GPL-3.0-or-later
// Fixture of the end-to-end link tests: a loaded library with short protocol
// time-outs, a handheld served from a scratch folder on a pseudo-terminal, and
// helpers to run a command to its end.
#pragma once

#include <memory>
#include <string>

#include "simserver.h"
#include "vlnk_env.h"

namespace vlnktest {

class LinkTest : public LibraryTest {
protected:
    void BeforeLoad() override;
    void TearDown() override;

    // Starts the handheld in a thread of this process (so a test can look at
    // what it saw) and opens `channel` on its port, under `port` when given
    // (mapped in section Ports), else under the pty path; channel 0 opens nothing.
    void StartHandheld(vlnksim::ServerOptions options = {}, const std::string& port = "", int channel = 1);
    vlnksim::CSimServer& Sim() { return *m_sim; }
    // The handheld's folder \TRE\DATEN on the host.
    std::string DataDir() const { return m_root + "/TRE/DATEN"; }
    std::string Root() const { return m_root; }
    // A folder for the PC's files.
    std::string PcDir() const { return Dir() + "/pc"; }

    // Polls VLNKGetResult as a caller does until it is not 213; -1 on time-out.
    int Await(int channel, int* value = nullptr, char* text = nullptr, int timeoutMs = 20000);
    // Protocol settings written into vlnkw.ini before the first channel opens.
    std::string m_protocolIni
        = "[Protocol]\nConnectTimeout=150\nStartBlockTimeout=300\nRetryTimeout=200\nPollTimeout=300\n";

private:
    std::unique_ptr<vlnksim::CSimServer> m_sim;
    std::string m_root;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string PatternBytes(size_t count, unsigned seed);
bool Exists(const std::string& path);
// Files in a folder whose names start with `prefix`.
int FilesStartingWith(const std::string& dir, const std::string& prefix);

} // namespace vlnktest
