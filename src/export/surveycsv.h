// SPDX-License-Identifier: GPL-3.0-or-later
// The survey for a spreadsheet (`tresmon-tool csv`): one line per row with
// the metre in m, the potentials in V, the gradients in mV, the mean
// gradients, their difference, the IR-free potential, the error-list mark
// and the comment. Spreadsheet-ready as the other exports (csvtext.h).
#pragma once

#include <string>

class CTreDoc;

namespace tresexport {

// The file's bytes, byte order mark first.
std::string SurveyCsv(const CTreDoc& doc);

} // namespace tresexport
