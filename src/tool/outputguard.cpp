// SPDX-License-Identifier: GPL-3.0-or-later
#include "outputguard.h"

#include "doc/surveypath.h"
#include "toolhost.h"

#include <sys/stat.h>

std::string InputNamedByOutput(const std::string& output, const std::vector<std::string>& inputs)
{
    struct stat out { };
    if (tresdoc::IsStandardStream(output) || ::stat(output.c_str(), &out) != 0) return std::string();
    for (const std::string& input : inputs) {
        struct stat in { };
        if (input.empty() || tresdoc::IsStandardStream(input) || ::stat(input.c_str(), &in) != 0) continue;
        if (in.st_dev == out.st_dev && in.st_ino == out.st_ino) return input;
    }
    return std::string();
}

bool OutputIsNoInput(const std::string& output, const std::vector<std::string>& inputs)
{
    const std::string input = InputNamedByOutput(output, inputs);
    if (input.empty()) return true;
    ToolError("Die Ausgabe „" + output + "“ ist eine der Eingaben (" + input
              + ") und würde sie überschreiben; bitte eine andere Ausgabedatei angeben.");
    return false;
}
