// SPDX-License-Identifier: GPL-3.0-or-later
// What the assessment report (assessreport.h) is asked to show: the
// settings, the companion surveys, the issuer and the paging. Apart from the
// report's entry points, so the parts that build its pages read the options
// without depending on the whole.
#pragma once

#include "doc/comparison.h"
#include "doc/verdictsettings.h"
#include "reportsettings.h"
#include "reportstretches.h"

#include <QString>

class CTreDoc;

namespace trespipeline {
struct SSurveyBinding;
struct SNativePairing;
} // namespace trespipeline

struct SReportComparison {
    const CTreDoc* earlier = nullptr; // null: no comparison section
    // Mode, limits and the alignment (trespipeline::AlignForComparison, as
    // `compare` aligns); without an alignment the recorded metres pair.
    SCompareSettings settings;
};

// The section lengths the program's report dialog offers, in m.
inline constexpr int kReportSectionLengths[] = {500, 1000, 2000};
inline constexpr int kDefaultSectionLength = 1000;

struct SReportOptions {
    SVerdictSettings settings;
    const CTreDoc* native = nullptr; // the native survey of the 100 mV criterion; null: none
    // How its rows pair with the survey's (trespipeline::PairNativeSurvey);
    // null: paired by the pipeline data or the landmarks, not reversed.
    const trespipeline::SNativePairing* nativePairing = nullptr;
    SReportComparison comparison;
    SReportSettings issuer; // company, address, logo, author, reference electrode
    QString reportNumber;
    QString revision;
    int sectionLength = kDefaultSectionLength; // m per sheet
    // The survey tied to its pipeline data (ok), or null. With it the
    // verdict measures in chainage with the sections' criteria, the dig list
    // gets its places, and "Messung" names the data and the re-stationing.
    const trespipeline::SSurveyBinding* pipeline = nullptr;
    // The stretch table joins stretches of one status broken by fewer points
    // than this (reportstretches.h).
    int merge = kDefaultStretchMerge;
    // Asked for as the final report: a draft is refused.
    bool final = false;
    // The verdict as the program holds it for exactly these settings, this
    // native survey and this binding; null: assessed here from them.
    const SVerdict* verdict = nullptr;
};
