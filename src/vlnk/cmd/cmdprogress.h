// SPDX-License-Identifier: LGPL-2.1-or-later
// The progress display of CMDVLNK on a terminal: the action line, the bars of
// the current file and of the whole run with "%lu of %lu bytes (%d%%)", and
// the version line. Minimized it is a single line with the overall progress.
//
// It is the one place of the library that draws, and it draws only on a
// terminal: CreateTerminalDisplay() gives none when standard error is not one.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vlnk {

class CProgressDisplay {
public:
    // Draws on `fd`, which the caller keeps open for the display's lifetime.
    CProgressDisplay(int fd, bool minimized);
    // Leaves the last picture on the screen, with the cursor below it.
    ~CProgressDisplay();
    CProgressDisplay(const CProgressDisplay&) = delete;
    CProgressDisplay& operator=(const CProgressDisplay&) = delete;

    void SetAction(const std::string& text);
    // Both bars and counts back to "0 of 0 bytes".
    void ClearBars();
    // The current bar and count back to "0 of 0 bytes" (a new file begins).
    void ClearCurrent();
    // The counts of the current file and of the whole run, drawn together.
    void SetProgress(unsigned long done, unsigned long size, int percent, unsigned long overallDone,
                     unsigned long overallTotal, int overallPercent);
    // After a cancel the hint shows that it is under way.
    void DisableCancel();
    bool Minimized() const { return m_bMinimized; }
    // Back to the full picture (a failed run shows its message in full).
    void Restore();
    // The terminal bell; a failure rings twice.
    void Beep(bool failure);

private:
    struct Bar {
        unsigned long done = 0;
        unsigned long total = 0;
        int percent = 0;
        bool bSet = false; // "0 of 0 bytes" until the first count
    };
    static std::string BarLine(const char* label, const Bar& bar, size_t columns);
    static std::string CountText(const Bar& bar);
    void Draw();
    void Put(const std::string& bytes);
    size_t Columns() const;

    int m_fd;
    bool m_bMinimized;
    bool m_bCancelEnabled = true;
    std::string m_action;
    Bar m_current, m_overall;
    int m_nDrawnLines = 0;
    std::vector<std::string> m_lastPicture; // not drawn again when nothing changed
};

// A display on standard error when that is a terminal; null otherwise.
std::unique_ptr<CProgressDisplay> CreateTerminalDisplay(bool minimized);

} // namespace vlnk
