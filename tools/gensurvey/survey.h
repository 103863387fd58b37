// SPDX-License-Identifier: GPL-3.0-or-later
// Made-up close-interval surveys that look like field data: smoothly varying
// potentials, small lateral gradients, a few coating defects, gaps and
// landmark comments. The same options and seed always give the same survey.
#pragma once

#include <cstdint>
#include <string>

class CTreDoc;

namespace gensurvey {

struct SurveyOptions {
    int rows = 2401; // measuring points
    int spacing = 1; // metres between points
    int startMeter = 0;
    uint32_t seed = 1;
};

// Replaces the document's content by a new survey (rows, header, QM data and
// error-list windows that pick out the defects).
void BuildSurvey(CTreDoc& doc, const SurveyOptions& options);

// Whether a comment is the remark BuildSurvey writes at a gap ("Straßenkreuzung",
// ...): a note on the measurement, not a place on the ground.
bool IsGapRemark(const std::string& comment);

// The worst case for an assessment's result: `rows` rows 2 m apart where
// every other row fails every criterion it can and is a spike, and every
// tenth row is a landmark.
void BuildDenseFailures(CTreDoc& doc, int rows);

// The document as a file of the older layout without sections: ten header
// lines (the tenth the encoded QM line), then one data line per row, in the
// DOS code page with CR LF. The QM filler is drawn from `seed`.
std::string OlderLayoutText(const CTreDoc& doc, uint32_t seed);

} // namespace gensurvey
