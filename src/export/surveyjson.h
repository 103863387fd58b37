// SPDX-License-Identifier: GPL-3.0-or-later
// The whole survey as one JSON object (`tresmon-tool dump`), for scripts and
// for checking the reader from outside: `rowCount`, `rows` (the stored
// values, the derived ones, `inErrorWindow` and the text forms under
// `text`), `header`, `qm`, `limits`, `tablePrint`, `graphicPrint`,
// `tableIRFree`, `tableLR`, `hasRightSide`. Absent values are null.
#pragma once

#include <functional>
#include <string_view>

class CTreDoc;

namespace tresexport {

// Hands the text to `put` piece by piece, a row at a time, so a large
// survey never needs a second copy of itself in memory. Ends in a newline.
// Not const: `hasRightSide` asks the document, which refreshes its flag.
void WriteSurveyJson(CTreDoc& doc, const std::function<void(std::string_view)>& put);

} // namespace tresexport
