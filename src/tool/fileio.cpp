// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"
#include "doc/tredoc.h"
#include "toolhost.h"

#include "doc/fileerror.h"
#include "doc/replacefile.h"
#include "doc/surveypath.h"
#include "import/surveyopen.h"

#include <cerrno>
#include <cstdio>

bool OpenForTool(CTreDoc& doc, CToolHost& host, const std::string& path)
{
    doc.SetHost(&host);
    if (tresimport::OpenSurveyPath(doc, path)) return true;
    if (!host.HadMessage()) ToolError(tresdoc::OpenErrorText(path, EINVAL));
    return false;
}

bool SaveForTool(CTreDoc& doc, const std::string& path) { return tresdoc::SaveSurveyPath(doc, path); }

bool WriteTextFile(const std::string& path, const std::string& text)
{
    if (tresdoc::IsStandardStream(path)) {
        if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0) return true;
        ToolError("Die Ausgabe konnte nicht geschrieben werden.");
        return false;
    }
    // Under a temporary name until complete, as a save: a failed write keeps the old file.
    if (const int err = tresdoc::ReplaceFileWith(path, text); err != 0) {
        ToolError(tresdoc::WriteErrorText(path, err));
        return false;
    }
    return true;
}
