// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the document tests: a host that records what the
// document asked for, temporary folders and quick row building.
#pragma once

#include "dochost.h"
#include "tredoc.h"

#include <filesystem>
#include <string>
#include <vector>

class CRecordingHost : public CDocHost {
public:
    void ModifiedChanged(bool m) override { modifiedEvents.push_back(m); }
    void PathChanged(const std::string& p) override { paths.push_back(p); }
    void UpdateAllViews() override { ++updates; }
    void InvalidateCurveViews() override { ++curveInvalidations; }
    void HistoryChanged() override { ++historyChanges; }
    void StatusText(const std::string& t) override { statusTexts.push_back(t); }
    void ProgressStep(int p) override { progress.push_back(p); }
    void HeaderBarToDoc(CTreDoc& doc) override
    {
        ++headerToDoc;
        if (!barName.empty()) doc.m_header[3] = barName;
    }
    void DocToHeaderBar(const CTreDoc& doc) override
    {
        ++docToHeader;
        shownName = doc.m_header[3];
    }
    void ShowMessage(const std::string& t) override { messages.push_back(t); }

    std::vector<bool> modifiedEvents;
    std::vector<std::string> paths, statusTexts, messages;
    std::vector<int> progress;
    int updates = 0, curveInvalidations = 0, historyChanges = 0, headerToDoc = 0, docToHeader = 0;
    std::string barName, shownName;
};

// A fresh folder below the system's temp folder, removed with the object.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

std::string ReadFile(const std::filesystem::path& p);
void WriteFile(const std::filesystem::path& p, const std::string& bytes);

// A new document whose rows have the given metres and nothing else.
void MakeRows(CTreDoc& doc, const std::vector<int32_t>& metres);
// Reads a complete file text into `doc` (no file involved).
bool ReadText(CTreDoc& doc, const std::string& text);
// The sectioned file text around some data lines (CR LF added per line).
std::string FileWithData(const std::vector<std::string>& dataLines, const std::string& extra = "");

// tresmon-tool run by the shell with `args` (quoted by the caller): its exit
// status and standard output; standard error is dropped.
struct SToolRun {
    int status;
    std::string out;
};
SToolRun RunTool(const std::string& args);
// A path quoted for the shell.
std::string ShellQuoted(const std::filesystem::path& p);
