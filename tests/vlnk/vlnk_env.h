// SPDX-License-Identifier: GPL-3.0-or-later
// Shared fixture of the library tests: a fresh library folder per test and a
// loaded library, plus helpers to read its files and to pump its messages.
#pragma once

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace vlnktest {

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs before the library loads (to prepare the ini file).
    virtual void BeforeLoad() { }

    std::string Dir() const { return m_dir; }
    std::string IniPath() const { return m_dir + "/vlnkw.ini"; }
    std::string LogPath() const { return m_dir + "/VLNKW.LOG"; }
    std::string LogText() const;
    std::string IniText() const;
    void WriteIni(const std::string& text) const;

private:
    std::string m_dir;
};

std::string ReadFile(const std::string& path);
bool Contains(const std::string& text, const std::string& part);
size_t CountOf(const std::string& text, const std::string& part);

// Pumps the library's messages until `done` holds or `timeoutMs` passed.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000);
// Pumps the library's messages for a while (to show that nothing happens).
void PumpFor(int ms);

} // namespace vlnktest
