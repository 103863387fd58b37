// SPDX-License-Identifier: GPL-3.0-or-later
#include "link_env.h"

#include <chrono>
#include <filesystem>
#include <fstream>

#include "msgwindow.h"
#include "profile.h"
#include "vlnkw32.h"

namespace vlnktest {

void LinkTest::BeforeLoad()
{
    WriteIni(m_protocolIni);
    m_root = Dir() + "/handheld";
    std::filesystem::create_directories(DataDir());
    std::filesystem::create_directories(PcDir());
}

void LinkTest::TearDown()
{
    for (int channel = 1; channel <= 8; ++channel) VLNKCloseChannel(channel);
    if (m_sim) m_sim->Stop();
    m_sim.reset();
    LibraryTest::TearDown();
}

void LinkTest::StartHandheld(vlnksim::ServerOptions options, const std::string& port, int channel)
{
    options.handheld.root = m_root;
    if (options.handheld.resendMs == 300) options.handheld.resendMs = 120;
    m_sim = std::make_unique<vlnksim::CSimServer>(options);
    ASSERT_TRUE(m_sim->Ok());
    std::string name = m_sim->PortPath();
    if (!port.empty()) {
        ASSERT_TRUE(vlnk::profile::WriteString(IniPath(), "Ports", port.c_str(), name));
        name = port;
    }
    m_sim->Start();
    if (channel) {
        ASSERT_EQ(VLNKOpenChannel(channel, name.c_str()), 0);
    }
}

int LinkTest::Await(int channel, int* value, char* text, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const int result = VLNKGetResult(channel, value, text);
        if (result != 213) return result;
        const auto now = Clock::now();
        if (now >= deadline) return -1;
        // Sleeps until the next library message instead of spinning.
        if (vlnk::CMsgWindow* window = vlnk::TheWindow())
            window->PumpOneUntil(std::min(deadline, now + std::chrono::milliseconds(5)));
    }
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string PatternBytes(size_t count, unsigned seed)
{
    std::string out(count, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (auto& c : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x & 0xFF);
    }
    return out;
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

int FilesStartingWith(const std::string& dir, const std::string& prefix)
{
    int count = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
        if (entry.path().filename().string().rfind(prefix, 0) == 0) ++count;
    return count;
}

} // namespace vlnktest
