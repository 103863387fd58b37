// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a survey into the document: the bytes read whole, the reader the
// registry names for them, the image into the document. The file is parsed
// completely before the document changes, so a failed open leaves it as it
// was; errors reach the user through the document host's ShowMessage.
#pragma once

#include <string>
#include <string_view>

class CTreDoc;

namespace tresimport {

class CReaderRegistry;
class CSurveyReader;

// Opens `path`, or appends it when doc.m_bAppend is set (the flag is taken
// back either way).
bool OpenSurvey(CTreDoc& doc, const std::string& path);
// The same for a command line's argument: "-" reads standard input, which
// leaves the document's path as it was.
bool OpenSurveyPath(CTreDoc& doc, const std::string& path);
// The rows of `path` behind row N; header and QM data stay.
bool AppendSurvey(CTreDoc& doc, const std::string& path);
// The same on bytes already in memory (tests and the fuzzer), as a stream
// without a name, showing no refusal; the text is cut at its first NUL byte
// like a file's.
bool ReadText(CTreDoc& doc, std::string_view bytes);
// The same on a file's bytes already read (a survey kept in the archive):
// `name` is the file's name as messages show it and the document takes;
// refusals are shown.
bool OpenSurveyBytes(CTreDoc& doc, std::string_view bytes, const std::string& name);
// The same, read again the way it was read when kept: `reading` is the
// survey's CSurveyExtras::reading then (empty: the program's readers as they
// are now). A reading that cannot be used is refused with its reason.
bool OpenSurveyBytes(CTreDoc& doc, std::string_view bytes, const std::string& name, const std::string& reading);
// The program's reader for the file at `path`, told by its first bytes and
// its name, without reading the rest; nullptr when no reader knows it or it
// is no regular file (a pipe or a device dragged onto the window must not
// block it).
const CSurveyReader* IdentifyFile(const std::string& path);

// With the readers of `registry` instead of the program's.
bool OpenSurvey(CTreDoc& doc, const std::string& path, const CReaderRegistry& registry);

} // namespace tresimport
