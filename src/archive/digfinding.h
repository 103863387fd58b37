// SPDX-License-Identifier: GPL-3.0-or-later
// What a dig at a defect of a stored survey found. The finding joins the
// audit trail (action "dig", the detail a JSON object of its fields), so it
// carries who recorded it and when, and needs no table of its own; the
// trend reads a pipeline's findings back from there.
#pragma once

#include "store.h"

#include <optional>
#include <string>
#include <vector>

namespace tresarchive {

inline constexpr const char* kDigAction = "dig";

struct SDigRecord {
    long long survey = 0;
    int row = 0;         // the defect's row in the survey
    std::string date;    // YYYY-MM-DD of the dig
    std::string finding; // what was found
    bool repaired = false;
    std::optional<double> offset; // m: where the damage really was, from the indicated chainage
    std::string by, at;           // who recorded it, and when (UTC); set by the archive
};

// Records `record` (its `by` and `at` are the archive's). Faults, all Other
// unless said: the survey does not exist or was removed; the row is no
// defect of its current assessment; the date is no date or lies before
// the survey's; the finding is empty; the offset is no finite number;
// ReadOnly/Newer when the archive may not be written.
void RecordDigFinding(CArchive& archive, const SDigRecord& record);

// The findings at the surveys of a pipeline that are still in the archive,
// in the order they were recorded. A trail line that cannot be read as a
// finding is passed over and named in `skipped` ("Protokolleintrag n").
std::vector<SDigRecord> DigFindings(CArchive& archive, long long pipelineId,
                                    std::vector<std::string>* skipped = nullptr);

} // namespace tresarchive
