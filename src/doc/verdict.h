// SPDX-License-Identifier: GPL-3.0-or-later
// The assessment of a survey as an engineer signs it ("Schutznachweis"):
// the criterion and where it came from, a verdict on every valid point
// weighted by the length of pipeline it stands for, the stretches of equal
// verdict, what share of the measured length is protected, the suspected
// coating defects with a dig list, and the plausibility warnings.
//
// Plain data in, plain data out: it reads the documents through their
// accessors and derived values only and changes neither. Lengths are in m
// (whole or half metres while positions are the recorded metres); shares in
// tenths of a per cent, rounded half away from zero, NO_VALUE when their
// base length is 0. The window, the tool, the curve marks and the report
// show this result and compute nothing of their own.
#pragma once

#include "criterion.h"
#include "defects.h"
#include "metrealign.h"
#include "plausibility.h"
#include "rowverdict.h"
#include "verdictsettings.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CTreDoc;

// A maximal run of consecutive points with the same status within one
// counter run (a counter reset ends a stretch: the pipe on either side of it
// is not one piece).
struct SVerdictStretch {
    EVerdictStatus status = EVerdictStatus::NotAssessed;
    int firstRow = 0, lastRow = 0;
    int32_t fromMetre = 0, toMetre = 0; // of the first and last point
    int rows = 0;                       // points in the run (rows with a metre)
    double length = 0;                  // m, the points' weights
    // Not protected: the largest E*; over: the smallest; with the metre of
    // the first point holding it. NO_VALUE for the other statuses.
    int32_t worst = NO_VALUE, worstMetre = NO_VALUE;
    int worstRow = 0;     // the first point holding it; 0 when there is none
    std::string comments; // not assessed: the points' non-empty comments, joined by "; "
    // The E_p its points were judged against (sections may set their own),
    // smallest and largest, mV; NO_VALUE for a stretch not assessed.
    int32_t protectionMin = NO_VALUE, protectionMax = NO_VALUE;
    int32_t minPolarisation = NO_VALUE; // smallest of its points' polarisation, mV; NO_VALUE: none has one
};

struct SVerdictCoverage {
    double totalLength = 0;       // m, all weights
    double assessedLength = 0;    // m, weights of assessed points
    double notAssessedLength = 0; // m
    double gapLength = 0;         // m, what the gaps leave unmeasured beyond the weights
    // m, from the first to the last point; with counter resets the sum of
    // the counter runs' spans. Beside the weights, the length an engineer
    // means by "the surveyed stretch": it includes the gaps.
    double surveyedLength = 0;
    int32_t assessedShareOfSurveyedTenths = NO_VALUE; // assessedLength of surveyedLength
};

struct SStatusSummary {
    double length = 0; // m
    int stretches = 0;
    // Tenths of a per cent of the assessed length (of the total length for
    // NotAssessed); NO_VALUE when that is 0.
    int32_t shareTenths = NO_VALUE;
};

struct SVerdict {
    SProtectionCriterion criterion;
    SVerdictSettings settings; // as used
    bool nativeGiven = false;
    SVerdictCoverage coverage;
    std::array<SStatusSummary, kVerdictStatusCount> statuses; // in enum order
    std::vector<SVerdictStretch> stretches;                   // covering the points in row order
    std::vector<SCoatingDefect> defects;                      // by row
    std::vector<SDigItem> digList;                            // by priority
    std::vector<SPlausibilityWarning> warnings;               // by kind, then first row
    // What the reader of another logger's export said about the file (the
    // stations it rounded, every line it skipped), shown with the warnings:
    // a verdict on a file with lines left out must say so. Empty for the
    // handheld's own files.
    std::vector<std::string> fileNotes;
    double surveyLength = 0;       // m, as coverage.surveyedLength
    std::vector<SVerdictRow> rows; // every row with a metre
    // With a native survey (nativeGiven): how its rows were paired with this
    // survey's for the 100 mV criterion (null: by the recorded metre, as
    // AssessProtection pairs them alone), and why the criterion was not
    // applied at all ("100-mV-Kriterium nicht angewandt: ..."; empty when it
    // was). Set by the pipeline layer's native pairing (nativepairing.h).
    std::shared_ptr<const SAlignment> nativeAlignment;
    std::string nativeWarning;
};

// The whole assessment of `doc`. `native`: a native survey for the 100 mV
// criterion (nullptr: none); `overrides`: per-row positions and section
// criteria (nullptr: none). O(N log N).
SVerdict AssessProtection(const CTreDoc& doc, const SVerdictSettings& settings = SVerdictSettings(),
                          const CTreDoc* native = nullptr, const SRowOverrides* overrides = nullptr);

// Tenths of a per cent of `part` in `whole`, half away from zero; NO_VALUE
// when `whole` is 0.
int32_t ShareTenths(double part, double whole);

// The assessed length's share of any base length in m, as the key figures
// give it: of the surveyed length (coverage), or of the route between the
// outermost tied fixed points where pipeline data give one. Tenths of a per
// cent; NO_VALUE when the base is 0.
int32_t AssessedShareTenths(const SVerdictCoverage& coverage, double baseLength);
