// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing measurement files (.tsd). Both work on a CTreDoc and
// report to its host; the document's OnOpenDocument and OnSaveDocument are
// thin calls into these.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class CTreDoc;
class CDocHost;

// Files larger than this are refused whole rather than read in part.
inline constexpr uint64_t kMaxTsdFileSize = 256ull * 1024 * 1024;

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

class CTsdReader {
public:
    explicit CTsdReader(CTreDoc& doc)
        : m_doc(doc)
    { }
    // Reads `path` into the document (appending when m_bAppend is set).
    bool Read(const std::string& path);
    // The same from standard input, read whole before it is parsed; the
    // messages call it "(Standardeingabe)".
    bool ReadStandardInput();
    // The same on text already in memory (the fuzzer and tests use it); the
    // text is cut at its first NUL byte like a file's. A text without the
    // section [Messdaten], or whose data lines hold no number at all, is
    // refused: the document stays as it was.
    bool ReadText(std::string_view bytes);

private:
    enum class EParsed { Read, NoDataSection, NothingRecognised };
    // Reads the open `fd` to its end and parses it; messages name `name`.
    bool ReadOpen(int fd, const std::string& name);
    // ReadText's work, with the reason when the document stays as it was.
    EParsed Parse(std::string_view bytes);

    CTreDoc& m_doc;
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
