// SPDX-License-Identifier: GPL-3.0-or-later
#include "surveypath.h"

#include "tredoc.h"
#include "tsdfile.h"

namespace tresdoc {

bool SaveSurveyPath(CTreDoc& doc, const std::string& path)
{
    if (IsStandardStream(path)) return CTsdWriter(doc).WriteStandardOutput();
    return doc.OnSaveDocument(path);
}

} // namespace tresdoc
