// SPDX-License-Identifier: GPL-3.0-or-later
#include "vlnk_env.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "library.h"
#include "msgwindow.h"

namespace vlnktest {

void LibraryTest::SetUp()
{
    char pattern[] = "/tmp/vlnk-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_dir = pattern;
    setenv("VLNK_DIR", m_dir.c_str(), 1);
    BeforeLoad();
    vlnk::LibraryLoad();
}

void LibraryTest::TearDown()
{
    vlnk::LibraryUnload();
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

std::string LibraryTest::LogText() const { return ReadFile(LogPath()); }
std::string LibraryTest::IniText() const { return ReadFile(IniPath()); }

void LibraryTest::WriteIni(const std::string& text) const
{
    std::ofstream(IniPath(), std::ios::binary | std::ios::trunc) << text;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

size_t CountOf(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        const auto now = Clock::now();
        if (now >= deadline) return false;
        vlnk::CMsgWindow* window = vlnk::TheWindow();
        if (window) window->PumpOneUntil(std::min(deadline, now + std::chrono::milliseconds(20)));
        else vlnk::WaitPumping(10);
    }
    return true;
}

void PumpFor(int ms) { vlnk::WaitPumping(static_cast<unsigned>(ms)); }

} // namespace vlnktest
