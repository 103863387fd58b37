// SPDX-License-Identifier: GPL-3.0-or-later
// What a survey read from another logger's export knows beyond the rows of
// the handheld's format: the station as the file wrote it, the position the
// logger took, how good that fix was, and the comment in full. A .tsd cannot
// hold any of it, so it lives beside the rows instead of being dropped.
#pragma once

#include "measrow.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

struct CRowExtra {
    double chainage = NAN; // m, unrounded; NaN when the file gave none
    double lat = NAN;      // degrees WGS 84; NaN when absent
    double lon = NAN;
    double pdop = NAN;
    bool interpolated = false;
    std::string comment; // UTF-8 as the file wrote it, not cut
    std::string time;

    bool HasPosition() const { return std::isfinite(lat) && std::isfinite(lon); }
};

// Whether the file's unrounded station still describes a row whose metre is
// now `metre` (NO_VALUE: none): not once the metre was edited away from it.
inline bool StationIsTheRows(const CRowExtra& e, int32_t metre)
{
    return std::isfinite(e.chainage) && IsPresent(metre) && std::lround(e.chainage) == metre;
}

// One entry per row read, as the rows stood when read (a row names its
// entry in CMeasRow::m_nSource); empty
// for a survey of the program's own format. `electrode` is the reference
// electrode a column map names.
struct CSurveyExtras {
    std::vector<CRowExtra> rows;
    std::string electrode;
    // What the reader said about the file (rounded stations, skipped lines).
    std::vector<std::string> notes;
    // How the reader read the file, in its own words (another logger's
    // export: the column map with everything the file left open decided),
    // so that a store that keeps the file reads it again the same way.
    std::string reading;

    bool Empty() const { return rows.empty() && electrode.empty() && notes.empty() && reading.empty(); }
};

// What a .tsd of the survey will not hold, as a save says it before: "3
// Kommentare gekürzt, GPS-Positionen nicht gespeichert"; empty when the
// file holds everything.
std::string ExtrasLossText(const CSurveyExtras& extras);
