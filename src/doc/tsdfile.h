// SPDX-License-Identifier: GPL-3.0-or-later
// Writing measurement files (.tsd), and the progress steps their reader
// shares (the reader is one of import's). The writer works on a CTreDoc and
// reports to its host; the document's OnSaveDocument is a thin call into it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class CTreDoc;
class CDocHost;

// Percentages for the status bar, shown each time they pass a threshold that
// starts at -1 and grows by 5 with every display.
class CProgressSteps {
public:
    explicit CProgressSteps(CDocHost& host)
        : m_host(host)
    { }
    void Report(int percent);

private:
    CDocHost& m_host;
    int m_threshold = -1;
};

class CTsdWriter {
public:
    explicit CTsdWriter(CTreDoc& doc)
        : m_doc(doc)
    { }
    bool Write(const std::string& path);
    // The same bytes to standard output as they are built. There is no
    // previous file to keep, so no temporary file; the document keeps its
    // path and modified flag.
    bool WriteStandardOutput();
    // The whole file text with the given QM line, after the save date and
    // the program's stamp went into QM entries 7 and 8 (the line should
    // hold them); the writer's only source of bytes, so tests can compare
    // them exactly.
    std::string BuildText(const std::string& saveDate, const std::string& encodedQm);

private:
    static constexpr int kQmNotWritable = -1;
    // Builds the text and lets `sink` run the function that writes it to a
    // descriptor. Returns 0, kQmNotWritable, or the errno of the failed step.
    int WriteTo(const std::function<int(const std::function<int(int fd)>&)>& sink);
    // Appends the text to `out`, calling `pass(out)` after every data line
    // (a save writes the text out there and empties it).
    void BuildInto(const std::string& encodedQm, std::string& out, const std::function<void(std::string&)>& pass);

    CTreDoc& m_doc;
};
