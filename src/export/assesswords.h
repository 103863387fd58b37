// SPDX-License-Identifier: GPL-3.0-or-later
// The option words an assessment was asked for with, as the archive keeps
// them beside it: the tool stores the words it was given, the program the
// words its "Bewertung" window's settings stand for, so a re-assessment
// with the kept words judges the survey as it was judged then. One table
// of the numeric options, read by the tool's parser and by this layer.
#pragma once

#include "doc/verdictsettings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tresexport {

// An option of the verdict that takes one number: `places` 0 whole mV, 1
// tenths of a mV (into `whole`), 2 a length in m read to hundredths, -1 a
// plain decimal (into `real`).
struct SVerdictNumberOption {
    const char* name;
    int places;
    int32_t SVerdictSettings::*whole;
    double SVerdictSettings::*real;
    ESettingRange range;
};
extern const SVerdictNumberOption kVerdictNumberOptions[11];

// What an assessment was asked for beyond the survey itself.
struct SAssessRequest {
    SVerdictSettings settings;
    std::string pipeline; // the pipeline data's file; empty: none
    bool forcePipeline = false;
    double stretchTolerance = 0.05;
    int crs = 0;        // EPSG code of easting/northing; 0: the route's UTM zone
    std::string native; // the native survey's file; empty: none
    bool reverse = false;
};

// The words in the tool's canonical long forms: every setting that differs
// from the tool's default, then the files.
std::vector<std::string> AssessOptionWords(const SAssessRequest& request);
// The words back, as either side stored them ("--gap 5" or "--gap=5");
// false with the German reason.
bool ReadAssessOptionWords(const std::vector<std::string>& words, SAssessRequest& out, std::string& error);
// The kept JSON array of words; false when it is none.
bool ReadOptionsJson(const std::string& json, std::vector<std::string>& words);

} // namespace tresexport
