// SPDX-License-Identifier: LGPL-2.1-or-later
// The library's running text log ("VLNKW.LOG").
//
// The file is opened and closed for every entry, so other programs can read it
// at any time and nothing is lost when the process ends. Only the thread that
// uses the library writes it.
#pragma once

#include <cstdio>
#include <ctime>
#include <functional>
#include <string>

namespace vlnk {

class CLogFile {
public:
    // Points the log at a file with a size limit in KB. Does not touch the file.
    void Configure(const std::string& path, unsigned maxSizeKb);

    // Creates the file with its banner when it does not exist yet.
    void CreateIfMissing();

    // Appends "<time>  <ch>  <text>", preceded by a "Current date is" line on the
    // first entry of a day. Channel 0 leaves the channel column blank; a null text
    // writes an empty line. A log that cannot be opened, or is not a regular
    // file, loses the entry silently.
    void Write(int channel, const char* text);

    const std::string& Path() const { return m_strPath; }
    unsigned MaxSizeKb() const { return m_nMaxSizeKb; }

    // Replaces the clock (tests move it across midnight).
    void SetClock(std::function<std::tm()> clock) { m_clock = std::move(clock); }

    static constexpr const char* kVersion = "0.99b";
    static constexpr const char* kMakerNotice = "Copyright (c) Vexil Datentechnik. All rights reserved.";

private:
    std::string DateTimeText() const; // "DD/MM/YY HH:MM:SS"
    bool WriteBanner(std::FILE* file);
    void Trim();
    // The log opened for one entry (trimmed first when it is full); null when
    // it cannot be opened or is not a regular file.
    std::FILE* OpenForAppend(bool mayTrim = true);

    std::string m_strPath;
    unsigned m_nMaxSizeKb = 100;
    std::string m_strDate; // date of the last entry; empty forces a "Current date is" line
    std::function<std::tm()> m_clock;
};

// The log of the loaded library; null before load and after unload.
CLogFile* TheLog();
// The log belongs to the session, which lends it here when the library loads
// and takes it back (null) before it goes.
void SetTheLog(CLogFile* log);

// The local calendar time now: the log's clock unless a test replaces it, and
// the date and time the handheld is set to.
std::tm LocalNow();

// printf-style entry in the library's log; nothing while no library is loaded.
void LogWrite(int channel, const char* format, ...) __attribute__((format(printf, 2, 3)));

} // namespace vlnk
