// SPDX-License-Identifier: GPL-3.0-or-later
// The native survey of the 100 mV criterion paired with the current survey's
// rows. A native survey's metres come from its own wire counter: paired by
// the recorded metre, one started 30 m further on turned the demo's worst
// defect into "geschützt (100-mV-Kriterium)". So it is aligned exactly as
// `compare --native` aligns it (alignforcomparison.h, one alignment for
// both): with pipeline data both surveys re-stationed by their own fixed
// points and paired by chainage; else by the landmarks they share. Never by
// an offset, and never by the recorded metres: with fewer than two shared
// landmarks and no pipeline data the criterion is not applied at all
// ("100-mV-Kriterium nicht angewandt: Nativmessung nicht zuzuordnen").
// A survey walked from the other end is refused unless the caller accepts
// it reversed; so are contradicting landmarks and a native survey the
// pipeline data cannot re-station.
//
// Each row of the current survey takes the native row with the same aligned
// metre (its first row in row order), as the comparison pairs them.
#pragma once

#include "alignforcomparison.h"
#include "restation.h"

#include <memory>
#include <string>
#include <vector>

class CTreDoc;
struct SVerdict;

namespace trespipeline {

struct SSurveyBinding;

inline constexpr char kNativeNotPairedWarning[] = "100-mV-Kriterium nicht angewandt: Nativmessung nicht zuzuordnen";

// The native survey is aligned as the comparison aligns an earlier one:
// `reverse` accepts one walked from the other end; `align` false pairs by
// the recorded metres, as the report's `--compare N --native --no-align`
// asks, and the criterion is then not applied.
using SNativeRequest = SComparisonAlignRequest;
// The request for a survey tied to pipeline data (null: none).
SNativeRequest NativeRequestFor(const SSurveyBinding* binding, bool reverse = false);

struct SNativePairing {
    // False: the surveys cannot be aligned as asked; `errors` say why (the
    // tool ends with exit status 2, the program shows them and applies no
    // 100 mV criterion).
    bool ok = false;
    std::vector<std::string> errors, notes;              // German
    tresdoc::ERefusal refusal = tresdoc::ERefusal::None; // Reversed: --reverse would pair it
    bool applied = false;                                // rows were paired: the criterion applies
    // When not applied: kNativeNotPairedWarning, or after a refusal
    // "100-mV-Kriterium nicht angewandt: " and the first error.
    std::string warning;
    std::shared_ptr<const SAlignment> alignment; // set when ok
    // When applied: the native row paired with row r at [r - 1], 0: none.
    std::vector<int> rows;
};

// One step for the tool's assess, export and report, the report and the
// program's Bewertung window, overlay and export.
SNativePairing PairNativeSurvey(const CTreDoc& doc, const CTreDoc& native, const SNativeRequest& request);
// The same from an alignment AlignForComparison(doc, native, true, ...)
// already gave (the program's comparison survey holds one).
SNativePairing NativePairingOf(const CTreDoc& doc, const CTreDoc& native, const SComparisonAlignResult& aligned);

// How the verdict paired its native survey, for the report's first page and
// the Bewertung window: "Zuordnung der Nativmessung: Orientierungspunkte
// (14), größte Abweichung an einem gemeinsamen Punkt 0 m"; the warning when
// the criterion was not applied; empty without a native survey.
std::string NativePairingText(const SVerdict& v);

// Where the 100 mV criterion was admitted and where not, as one German
// sentence for the report's rules and the window: switched off, no native
// survey, not applicable (the warning), not admitted survey-wide in
// anaerobic soil, or admitted except in the sections that exclude it
// ("...; nicht zulässig in Merkmal 14 „Bachaue“, 407 bis 517 m (anaerob)").
std::string Admission100mVText(const SVerdict& v, const SSurveyBinding* binding);

} // namespace trespipeline
