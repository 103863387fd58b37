// SPDX-License-Identifier: GPL-3.0-or-later
// How the columns of another logger's delimited export become a survey: which
// cell holds which value, in which unit and station notation, and the header
// values the file itself lacks. Written by hand as JSON, or one of the built-in
// maps recognised from a header line.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tresimport {

enum class EColumn {
    Station,
    On,
    Off,
    GradOnL,
    GradOffL,
    GradOnR,
    GradOffR,
    Comment,
    Lat,
    Lon,
    Pdop,
    Interpolated,
    Time,
};
inline constexpr size_t kColumnCount = 13;
// "station", "on", ... as the map's JSON names them.
const char* ColumnKey(EColumn c);

enum class EPotentialUnit { Auto, V, MilliV };
enum class EStationNotation { Auto, Metre, KmPlusM, FtPlusFt, Feet };

// A column by its title in the header line or by its 1-based number; neither
// set: the map does not use it.
struct CColumnRef {
    std::string title;
    int number = 0;
    bool Used() const { return number > 0 || !title.empty(); }
};

struct CColumnMap {
    char separator = 0; // ';' ',' '\t'; 0: from the header line
    char decimal = 0;   // '.' ','; 0: from the cells
    int skip = 0;       // lines before the header line
    std::array<CColumnRef, kColumnCount> columns;
    EPotentialUnit potentialUnit = EPotentialUnit::Auto;
    EPotentialUnit gradientUnit = EPotentialUnit::MilliV;
    EStationNotation station = EStationNotation::Auto;
    std::string pipeline, number, date, criterion, electrode;

    const CColumnRef& operator[](EColumn c) const { return columns[static_cast<size_t>(c)]; }
    CColumnRef& operator[](EColumn c) { return columns[static_cast<size_t>(c)]; }
};

// The map in a JSON text; nullopt with the German reason in `error`.
std::optional<CColumnMap> ParseColumnMap(std::string_view json, std::string& error);
// The map as JSON, the way ParseColumnMap reads it back.
std::string ColumnMapJson(const CColumnMap& map);

// The built-in map whose titles the header line's cells hold (station and
// on or off found), or nullopt. Titles compare without case and blanks.
std::optional<CColumnMap> BuiltInMap(const std::vector<std::string>& headerCells);

} // namespace tresimport
