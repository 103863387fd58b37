// SPDX-License-Identifier: GPL-3.0-or-later
// The one check every command makes before it writes: its output must not
// be one of the files it reads. A report named after its survey, an export
// over the pipeline data or an edit onto its only copy would otherwise
// replace the very file the user meant to keep, a moment after reading it.
#pragma once

#include <string>
#include <vector>

// The input among `inputs` that `output` names - the same file by device and
// inode, so a link or another spelling of the path counts too - or an empty
// text. Standard input and output ("-") are never the same file, nor is an
// output that does not exist yet; empty inputs are passed over.
std::string InputNamedByOutput(const std::string& output, const std::vector<std::string>& inputs);

// The same as a refusal: false after the German message on standard error
// ("Die Ausgabe „a.tsd“ ist eine der Eingaben (a.tsd) und würde sie
// überschreiben; bitte eine andere Ausgabedatei angeben."). The command
// then ends with kExitUsage before anything is read or written.
bool OutputIsNoInput(const std::string& output, const std::vector<std::string>& inputs);
