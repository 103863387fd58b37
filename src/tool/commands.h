// SPDX-License-Identifier: GPL-3.0-or-later
// The batch tool's commands. Each takes the arguments after its own name
// and returns the process exit code.
#pragma once

#include <string>
#include <vector>

using Args = std::vector<std::string>;

int RunDump(const Args& args);
int RunConvert(const Args& args);
int RunEdit(const Args& args);
int RunCsv(const Args& args);
int RunErrors(const Args& args);
int RunAssess(const Args& args);
int RunCompare(const Args& args);
int RunExport(const Args& args);
int RunArchive(const Args& args);
int RunImport(const Args& args);
int RunTrend(const Args& args);

class CTreDoc;
class CToolHost;
// A path "-" stands for standard input or output in all three.
// Opens `path` into `doc`; false (message already printed) when it fails.
bool OpenForTool(CTreDoc& doc, CToolHost& host, const std::string& path);
// Saves `doc` to `path` as the program saves; false with a message printed.
bool SaveForTool(CTreDoc& doc, const std::string& path);
// Writes `text` to `path` whole (under a temporary name until it is
// complete); false with a German message on failure.
bool WriteTextFile(const std::string& path, const std::string& text);
