// SPDX-License-Identifier: GPL-3.0-or-later
// A survey tied to its pipeline data: one step that the tool's commands, the
// report and the program all take, so each shows the same chainages,
// positions and section criteria.
//
// From the document and the pipeline data it re-stations the survey
// (restation.h), checks the drawn route against the fixed points'
// stationing (routecheck.h), places every row on the route (locator.h) and
// gives every row its section's criteria (sections.h), in the form the
// assessment takes them: AssessProtection(doc, settings, native,
// &binding.overrides) then measures every length, window, gap and landmark
// distance in chainage.
//
// Rows whose chainage lies beyond the route have no position; their runs
// come as plausibility warnings of kind OutsideRoute, ready to join the
// assessment's list (they sort last there):
//   verdict.warnings.insert(verdict.warnings.end(), b.outsideRoute.begin(), b.outsideRoute.end());
#pragma once

#include "doc/plausibility.h"
#include "doc/verdictsettings.h"
#include "locator.h"
#include "pipelinedata.h"
#include "restation.h"
#include "routecheck.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CTreDoc;
struct SCoatingDefect;
struct SDigItem;
struct SVerdict;

namespace trespipeline {

// A fixed point some row names.
struct SFoundFixpoint {
    size_t fixpoint = 0;         // index into the pipeline data's fixed points
    int row = 0;                 // 1..N
    int32_t metre = 0;           // as recorded
    double chainage = 0;         // m, the fixed point's
    std::optional<SPlace> place; // on the route at that chainage; none beyond it
};

struct SSurveyBinding {
    bool ok = false;
    // German. errors: why the survey cannot be tied to the data (the file
    // unreadable or faulty, a fixed point named by several rows, two ties at
    // one metre, tie chainages not monotone, no tie at all, an unknown CRS).
    // warnings: the file's, the re-stationing's, the route length check's.
    std::vector<std::string> errors, warnings;

    SPipelineData pipeline; // as read: the route's name and number, the fixed points' names and types
    std::string file;       // the pipeline data's file as BindSurveyToFile was given it; empty otherwise
    int gridEpsg = 0;       // the CRS of every easting/northing
    double stretchTolerance = kDefaultStretchTolerance; // as given: a native survey is re-stationed with it too

    // Per row, index r - 1; rows without a metre have neither.
    std::vector<double> chainage;              // m, two decimals; NaN: none
    std::vector<std::optional<SPlace>> places; // none: no chainage, or beyond the route
    ::SRowOverrides overrides;                 // for AssessProtection (the document's, not sections.h's)

    std::vector<STie> ties;                         // as the re-stationing found them, in row order
    std::vector<double> factors;                    // f_k between ties k and k+1
    std::vector<SFoundFixpoint> fixpoints;          // named by a row, in row order
    std::vector<size_t> unmatched;                  // named by no row, in file order
    SRouteLengthCheck routeCheck;                   // its warning is among `warnings`
    std::vector<SPlausibilityWarning> outsideRoute; // runs of rows with a chainage beyond the route
    // Runs of rows whose own GPS position (another logger's file) lies far
    // from their place on the route; they join the list as outsideRoute does.
    std::vector<SPlausibilityWarning> gpsOffRoute;
    // Tied to the file's own GPS track (gpsbinding.h), not to pipeline data:
    // `pipeline` then holds only the track as its route, no fixed points.
    bool gps = false;

    // Places between the rows (a stretch's ends): shared, so a binding can
    // be copied; not thread-safe (PROJ keeps state per transformation).
    std::shared_ptr<CRouteLocator> locator;
};

// gridEpsg 0: ETRS89/UTM of the route's zone.
SSurveyBinding BindSurvey(const CTreDoc& doc, const SPipelineData& data,
                          double stretchTolerance = kDefaultStretchTolerance, int gridEpsg = 0);
// The same from a pipeline data file: its errors refuse, its warnings come first.
SSurveyBinding BindSurveyToFile(const CTreDoc& doc, const std::string& path,
                                double stretchTolerance = kDefaultStretchTolerance, int gridEpsg = 0);

// The same from pipeline data already read as text (kept in the archive),
// `name` standing for the file in messages.
SSurveyBinding BindSurveyToText(const CTreDoc& doc, std::string_view text, const std::string& name,
                                double stretchTolerance = kDefaultStretchTolerance, int gridEpsg = 0);

// A suspected coating defect of the dig list with where its row lies
// (`place` empty beyond the route): what the map draws and the exports write,
// gathered by one rule for both.
struct SPlacedDefect {
    const SDigItem* item = nullptr;
    const SCoatingDefect* defect = nullptr;
    std::optional<SPlace> place;
};
// In dig-list order; `verdict` assessed for the bound survey.
std::vector<SPlacedDefect> PlacedDefects(const SVerdict& verdict, const SSurveyBinding& binding);

// The per-row overrides of AssessProtection from chainages and sections.
::SRowOverrides AssessmentOverrides(const std::vector<double>& chainage, const std::vector<SSection>& sections);

} // namespace trespipeline
