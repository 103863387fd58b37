// SPDX-License-Identifier: GPL-3.0-or-later
// Pipeline data ("Leitungsdaten"): the route of the pipeline in chainage
// direction, its fixed points with their chainages, and the sections that
// set their own protection criteria. Read from GeoJSON (pipelinereader.h);
// positions are WGS 84 longitude/latitude in degrees, chainages in m,
// potentials in mV. Features are numbered from 1 in file order, as every
// message names them ("Merkmal 1" is the first feature of the file).
#pragma once

#include "doc/measrow.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trespipeline {

struct SLonLat {
    double lon = 0, lat = 0; // degrees, WGS 84
    bool operator==(const SLonLat&) const = default;
};

struct SRoute {
    int feature = 0; // its number in the file
    std::string name, number;
    double startChainage = 0;      // m at the first vertex
    std::vector<SLonLat> vertices; // in chainage direction, no two in a row equal
};

struct SFixpoint {
    int feature = 0;
    std::string name;
    std::string type;             // free text ("Prüfstelle", "Schieber" ...), may be empty
    std::string match;            // the survey comment that marks it (the name unless given)
    double chainage = 0;          // m
    std::optional<SLonLat> point; // none for a null geometry
};

struct SSection {
    int feature = 0;
    std::string name;                       // optional, for the reader of a report
    double from = 0, to = 0;                // m, from <= to; rows with from <= s <= to
    int32_t protectionPotential = NO_VALUE; // mV, E_p for its rows; NO_VALUE: not set
    int32_t limitPotential = NO_VALUE;      // mV, E_l for its rows; NO_VALUE: not set
    std::optional<bool> allow100mV;         // the 100 mV criterion admissible; none: not set
};

struct SPipelineData {
    SRoute route;
    std::vector<SFixpoint> fixpoints; // in file order
    std::vector<SSection> sections;   // in file order, which decides overlaps (sections.h)
    int sourceEpsg = 4326;            // the CRS the file's coordinates were given in
};

} // namespace trespipeline
