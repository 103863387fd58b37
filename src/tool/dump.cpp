// SPDX-License-Identifier: GPL-3.0-or-later
// `dump`: the whole document as one JSON object (surveyjson.h), written as
// it is made.
#include "commands.h"
#include "export/surveyjson.h"
#include "surveycommand.h"

#include <cstdio>
#include <string_view>

int RunDump(const Args& args)
{
    SSurveyCommand cmd;
    if (const int exit = StartSurveyCommand(args, "dump DATEI", 1, cmd); exit >= 0) return exit;
    tresexport::WriteSurveyJson(cmd.doc,
                                [](std::string_view piece) { std::fwrite(piece.data(), 1, piece.size(), stdout); });
    if (std::fflush(stdout) != 0) {
        ToolError("Die Ausgabe konnte nicht geschrieben werden.");
        return kExitFile;
    }
    return kExitOk;
}
