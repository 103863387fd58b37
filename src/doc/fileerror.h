// SPDX-License-Identifier: GPL-3.0-or-later
// German texts for file errors, as the user reads them in a message box.
#pragma once

#include <string>

namespace tresdoc {

// The system's reason for `err` (an errno value) in German words.
std::string FileErrorReason(int err);

// "Die Datei X konnte nicht geöffnet werden: <reason>." and its siblings,
// cut to 255 characters the way the message box has always shown them.
std::string OpenErrorText(const std::string& path, int err);
std::string ReadErrorText(const std::string& path, int err);
std::string WriteErrorText(const std::string& path, int err);
std::string TooLargeText(const std::string& path, unsigned long long size);
std::string NoDataSectionText(const std::string& path);
// A file in which no data line holds a number.
std::string NoDataText(const std::string& path);
// A save refused because the QM entries cannot be written so that they read back.
std::string QmNotWritableText(const std::string& path);

// How messages name the streams a survey can be read from or written to.
inline const std::string kStandardInputName = "(Standardeingabe)";
inline const std::string kStandardOutputName = "(Standardausgabe)";
// A survey that could not be written to standard output (no file to keep).
std::string StandardOutputErrorText(int err);

} // namespace tresdoc
