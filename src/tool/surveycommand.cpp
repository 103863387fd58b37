// SPDX-License-Identifier: GPL-3.0-or-later
#include "surveycommand.h"

#include "outputguard.h"

int StartSurveyCommand(const Args& args, const std::string& synopsis, size_t operands, SSurveyCommand& cmd)
{
    const std::string usage = CommandUsage(synopsis);
    if (const int exit = ParseCommandLine(args, {}, usage, cmd.line); exit >= 0) return exit;
    if (cmd.line.operands.size() != operands) {
        ToolError(usage);
        return kExitUsage;
    }
    if (operands == 2 && !OutputIsNoInput(cmd.line.operands[1], {cmd.line.operands[0]})) return kExitUsage;
    return OpenForTool(cmd.doc, cmd.host, cmd.line.operands[0]) ? -1 : kExitFile;
}
