// SPDX-License-Identifier: LGPL-2.1-or-later
#include "cmdprogress.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/ioctl.h>
#include <unistd.h>

#include "logfile.h"

namespace vlnk {
namespace {

constexpr const char* kClearLine = "\x1b[2K";

} // namespace

CProgressDisplay::CProgressDisplay(int fd, bool minimized)
    : m_fd(fd)
    , m_bMinimized(minimized)
{
    Draw();
}

CProgressDisplay::~CProgressDisplay() = default;

void CProgressDisplay::SetAction(const std::string& text)
{
    m_action = text;
    Draw();
}

void CProgressDisplay::ClearBars()
{
    m_current = {};
    m_overall = {};
    Draw();
}

void CProgressDisplay::ClearCurrent()
{
    m_current = {};
    Draw();
}

void CProgressDisplay::SetProgress(unsigned long done, unsigned long size, int percent, unsigned long overallDone,
                                   unsigned long overallTotal, int overallPercent)
{
    m_current = {done, size, percent, true};
    m_overall = {overallDone, overallTotal, std::min(overallPercent, 100), true};
    Draw();
}

void CProgressDisplay::DisableCancel()
{
    m_bCancelEnabled = false;
    Draw();
}

void CProgressDisplay::Restore()
{
    if (!m_bMinimized) return;
    m_bMinimized = false;
    Draw();
}

void CProgressDisplay::Beep(bool failure) { Put(failure ? "\a\a" : "\a"); }

// The bar takes what the line leaves of the terminal's width. It stays empty
// while its total is 0: there is nothing to measure yet.
std::string CProgressDisplay::BarLine(const char* label, const Bar& bar, size_t columns)
{
    const std::string count = CountText(bar);
    const size_t used = std::strlen(label) + count.size() + 6;
    const size_t width = std::clamp<size_t>(columns > used ? columns - used : 0, 10, 40);
    size_t filled = 0;
    if (bar.total > 0) filled = width * static_cast<size_t>(std::clamp(bar.percent, 0, 100)) / 100;
    return std::string(label) + " [" + std::string(filled, '#') + std::string(width - filled, '-') + "]  " + count;
}

std::string CProgressDisplay::CountText(const Bar& bar)
{
    if (!bar.bSet) return "0 of 0 bytes";
    char text[96];
    std::snprintf(text, sizeof text, "%lu of %lu bytes (%d%%)", bar.done, bar.total, bar.percent);
    return text;
}

size_t CProgressDisplay::Columns() const
{
    winsize size{};
    if (ioctl(m_fd, TIOCGWINSZ, &size) == 0 && size.ws_col >= 20) return size.ws_col;
    return 80;
}

void CProgressDisplay::Draw()
{
    // A line that wrapped would break the count of lines to go back over.
    const size_t columns = Columns() - 1;
    std::vector<std::string> lines;
    if (m_bMinimized) {
        char title[32];
        std::snprintf(title, sizeof title, "VLNK (%d%%)", m_overall.bSet ? m_overall.percent : 0);
        lines.push_back(BarLine(title, m_overall, columns));
    } else {
        lines.push_back("Action: " + m_action);
        lines.push_back(BarLine("  Current Progress", m_current, columns));
        lines.push_back(BarLine("  Overall Progress", m_overall, columns));
        lines.push_back(std::string("  V") + CLogFile::kVersion + " (32 bit)    "
                        + (m_bCancelEnabled ? "Ctrl+C: Cancel" : "Cancelling..."));
    }
    for (std::string& line : lines) {
        for (char& c : line)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?'; // no control codes from file names
        if (line.size() > columns) line.resize(columns);
    }
    if (lines == m_lastPicture) return;
    std::string out;
    if (m_nDrawnLines > 0) out += "\r\x1b[" + std::to_string(m_nDrawnLines) + "A\x1b[J";
    for (const std::string& line : lines) out += kClearLine + line + "\n";
    m_nDrawnLines = static_cast<int>(lines.size());
    m_lastPicture = std::move(lines);
    Put(out);
}

void CProgressDisplay::Put(const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return; // a display that cannot be drawn is no reason to stop the run
        done += static_cast<size_t>(n);
    }
}

std::unique_ptr<CProgressDisplay> CreateTerminalDisplay(bool minimized)
{
    if (!isatty(STDERR_FILENO)) return nullptr;
    return std::make_unique<CProgressDisplay>(STDERR_FILENO, minimized);
}

} // namespace vlnk
