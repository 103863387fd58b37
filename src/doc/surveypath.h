// SPDX-License-Identifier: GPL-3.0-or-later
// Command-line programs take "-" for standard input or output, as their
// neighbours do. A survey from standard input goes through the same readers
// as a file (import/surveyopen.h); one to standard output is the same bytes a
// save writes.
#pragma once

#include <string>

class CTreDoc;

namespace tresdoc {

inline bool IsStandardStream(const std::string& path) { return path == "-"; }

// Saves `doc` to `path`, or writes it to standard output for "-".
bool SaveSurveyPath(CTreDoc& doc, const std::string& path);

} // namespace tresdoc
