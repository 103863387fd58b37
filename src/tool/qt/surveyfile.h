// SPDX-License-Identifier: GPL-3.0-or-later
// How render and print open their survey: the reader says why it cannot
// where it can, through the command's host; a silent refusal still gets one
// line naming the command and the file.
#pragma once

#include "doc/tredoc.h"
#include "import/surveyopen.h"
#include "tool/toolhost.h"

#include <cstdio>
#include <string>

// `host` is any document host that tells whether the reader spoke
// (HadMessage()); the document keeps it, so it must outlive the reading.
template <class Host> bool OpenCommandSurvey(CTreDoc& doc, Host& host, const std::string& file, const char* command)
{
    doc.SetHost(&host);
    if (tresimport::OpenSurveyPath(doc, file)) return true;
    if (!host.HadMessage())
        std::fprintf(stderr, "%s: Die Datei %s kann nicht gelesen werden.\n", command, file.c_str());
    return false;
}
