// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"
#include "toolhost.h"
#include "tredoc.h"

#include "fileerror.h"
#include "surveypath.h"

#include <cerrno>
#include <cstdio>

bool OpenForTool(CTreDoc& doc, CToolHost& host, const std::string& path)
{
    doc.SetHost(&host);
    if (tresdoc::OpenSurveyPath(doc, path)) return true;
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
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        ToolError(tresdoc::WriteErrorText(path, errno));
        return false;
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    const int err = errno;
    if (std::fclose(f) != 0 || !ok) {
        ToolError(tresdoc::WriteErrorText(path, ok ? errno : err));
        return false;
    }
    return true;
}
