// SPDX-License-Identifier: GPL-3.0-or-later
// What the map exports show of an assessed survey tied to its pipeline
// data, gathered once so that GeoJSON, KML and GPX carry the same features
// with the same fields:
//   track     the survey as a line through every row with a place
//   stretch   each stretch whose status is not "protected", drawn along the
//             route over the length it stands for (half-way to the
//             neighbouring rows, at most half the gap, as its length counts)
//   defect    each suspected coating defect, in dig-list order
//   fixpoint  each fixed point a row names, where that row lies
// Positions are WGS 84 degrees rounded to 7 decimals; a feature beyond the
// route has no geometry (and the writers say what they did with it). Every
// feature has a German name and a one-line description (featuretext.h), its
// last field; the whole carries what the survey was and how it was judged.
#pragma once

#include "doc/criterion.h"
#include "exportinputs.h"
#include "pipeline/locator.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tresexport {

enum class EFeatureKind { Track = 0, Stretch, Defect, Fixpoint };
const char* FeatureKindId(EFeatureKind k); // "track", "stretch", "defect", "fixpoint"

// One field of a feature. Every feature of a kind has the same fields in the
// same order (a missing value is `present` false), so a GIS reads one table
// per kind and the KML schema follows from any feature.
struct SField {
    enum class EType { Int, Real, Text };
    std::string name;
    EType type = EType::Text;
    bool present = false;
    long long whole = 0;
    double real = 0;  // already rounded to `decimals`
    int decimals = 0; // of a Real
    std::string text;
};

struct SMapFeature {
    EFeatureKind kind = EFeatureKind::Track;
    bool line = false;                           // LineString, else Point
    std::vector<trespipeline::SLonLat> geometry; // empty: none (beyond the route)
    std::string label;                           // the placemark's or waypoint's name
    std::string style;                           // a status id for stretches; else the kind's id
    std::vector<SField> fields;
    const SField* Field(const std::string& name) const;
};

// The fields every feature of `kind` has, in their order (the values are
// placeholders): the columns of a kind's table, also when there is no
// feature of it.
std::vector<SField> FeatureFields(EFeatureKind kind);

// A line of one position is drawn as the point it is: a LineString needs two
// positions, and doubling the one would put a made-up second point into a
// GPX track.
inline bool DrawnAsLine(const SMapFeature& f) { return f.line && f.geometry.size() >= 2; }

struct SMapFeatures {
    std::string title; // the route's name and number, else the survey's file name
    std::string surveyFile;
    std::string surveyDate;         // header entry 1 as the survey holds it
    SProtectionCriterion criterion; // as the verdict used it
    std::string programVersion;     // "3.18.0"
    std::string description;        // SurveyDescription of the above
    int gridEpsg = 0;
    std::vector<SMapFeature> features; // track, stretches by row, defects by priority, fixed points by row
};

// `binding` must be ok and `verdict` assessed with its overrides.
SMapFeatures CollectMapFeatures(const CTreDoc& doc, const SVerdict& verdict,
                                const trespipeline::SSurveyBinding& binding);

} // namespace tresexport
