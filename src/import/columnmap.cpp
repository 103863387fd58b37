// SPDX-License-Identifier: GPL-3.0-or-later
#include "columnmap.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <span>

namespace tresimport {

namespace {

constexpr const char* kKeys[kColumnCount] = {"station", "on",  "off", "gradOnL", "gradOffL",     "gradOnR", "gradOffR",
                                             "comment", "lat", "lon", "pdop",    "interpolated", "time"};

std::string Folded(std::string_view s)
{
    std::string out;
    for (char c : s)
        if (c != ' ' && c != '\t' && c != '_' && c != '-' && c != '.')
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

const char* UnitText(EPotentialUnit u)
{
    return u == EPotentialUnit::V ? "V" : u == EPotentialUnit::MilliV ? "mV" : "auto";
}

const char* StationText(EStationNotation s)
{
    switch (s) {
    case EStationNotation::Metre: return "m";
    case EStationNotation::KmPlusM: return "km+m";
    case EStationNotation::FtPlusFt: return "ft+ft";
    case EStationNotation::Feet: return "ft";
    case EStationNotation::Auto: break;
    }
    return "auto";
}

std::string CharText(char c) { return c == 0 ? "auto" : c == '\t' ? "tab" : std::string(1, c); }

bool ReadChar(const nlohmann::json& v, std::initializer_list<char> allowed, char& out)
{
    if (!v.is_string()) return false;
    const std::string s = v.get<std::string>();
    if (s == "auto") return out = 0, true;
    if (s == "tab" || s == "\t") return out = '\t', true;
    if (s.size() == 1 && std::find(allowed.begin(), allowed.end(), s[0]) != allowed.end()) return out = s[0], true;
    return false;
}

bool ReadUnit(const nlohmann::json& v, bool allowAuto, EPotentialUnit& out)
{
    if (!v.is_string()) return false;
    const std::string s = v.get<std::string>();
    if (s == "V") out = EPotentialUnit::V;
    else if (s == "mV") out = EPotentialUnit::MilliV;
    else if (s == "auto" && allowAuto) out = EPotentialUnit::Auto;
    else return false;
    return true;
}

bool ReadStation(const nlohmann::json& v, EStationNotation& out)
{
    if (!v.is_string()) return false;
    const std::string s = v.get<std::string>();
    for (EStationNotation n : {EStationNotation::Auto, EStationNotation::Metre, EStationNotation::KmPlusM,
                               EStationNotation::FtPlusFt, EStationNotation::Feet})
        if (s == StationText(n)) return out = n, true;
    return false;
}

// Everything but the columns; false with `error` set.
bool ReadSettings(const nlohmann::json& j, CColumnMap& map, std::string& error)
{
    auto bad = [&](const char* key, const char* allowed) {
        error = std::string("Spaltenzuordnung: „") + key + "“ muss " + allowed + " sein.";
        return false;
    };
    if (j.contains("separator") && !ReadChar(j["separator"], {';', ','}, map.separator))
        return bad("separator", "„;“, „,“, „tab“ oder „auto“");
    if (j.contains("decimal") && !ReadChar(j["decimal"], {'.', ','}, map.decimal))
        return bad("decimal", "„.“, „,“ oder „auto“");
    if (map.decimal == '\t') return bad("decimal", "„.“, „,“ oder „auto“");
    if (j.contains("skip")) {
        if (!j["skip"].is_number_integer() || j["skip"].get<long long>() < 0 || j["skip"].get<long long>() > 10000)
            return bad("skip", "eine Zahl von 0 bis 10000");
        map.skip = j["skip"].get<int>();
    }
    if (j.contains("potentialUnit") && !ReadUnit(j["potentialUnit"], true, map.potentialUnit))
        return bad("potentialUnit", "„V“, „mV“ oder „auto“");
    if (j.contains("gradientUnit") && !ReadUnit(j["gradientUnit"], false, map.gradientUnit))
        return bad("gradientUnit", "„V“ oder „mV“");
    if (j.contains("station") && !ReadStation(j["station"], map.station))
        return bad("station", "„m“, „km+m“, „ft+ft“, „ft“ oder „auto“");
    for (auto [key, field] :
         {std::pair{"pipeline", &map.pipeline}, std::pair{"number", &map.number}, std::pair{"date", &map.date},
          std::pair{"criterion", &map.criterion}, std::pair{"electrode", &map.electrode}}) {
        if (!j.contains(key)) continue;
        if (!j[key].is_string()) return bad(key, "ein Text");
        *field = j[key].get<std::string>();
    }
    return true;
}

} // namespace

const char* ColumnKey(EColumn c) { return kKeys[static_cast<size_t>(c)]; }

std::optional<CColumnMap> ParseColumnMap(std::string_view json, std::string& error)
{
    const nlohmann::json j = nlohmann::json::parse(json, nullptr, false);
    if (j.is_discarded() || !j.is_object()) {
        error = "Spaltenzuordnung: kein gültiges JSON-Objekt.";
        return std::nullopt;
    }
    CColumnMap map;
    if (!ReadSettings(j, map, error)) return std::nullopt;
    if (!j.contains("columns") || !j["columns"].is_object()) {
        error = "Spaltenzuordnung: „columns“ fehlt.";
        return std::nullopt;
    }
    for (const auto& [key, value] : j["columns"].items()) {
        const auto* it = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const char* k) { return key == k; });
        if (it == std::end(kKeys)) {
            error = "Spaltenzuordnung: unbekannte Spalte „" + key + "“.";
            return std::nullopt;
        }
        CColumnRef& ref = map.columns[static_cast<size_t>(it - std::begin(kKeys))];
        if (value.is_number_integer() && value.get<long long>() >= 1 && value.get<long long>() <= 10000)
            ref.number = value.get<int>();
        else if (value.is_string() && !value.get<std::string>().empty()) ref.title = value.get<std::string>();
        else {
            error = "Spaltenzuordnung: Spalte „" + key + "“ braucht einen Titel oder eine Nummer ab 1.";
            return std::nullopt;
        }
    }
    if (!map[EColumn::Station].Used() || (!map[EColumn::On].Used() && !map[EColumn::Off].Used())) {
        error = "Spaltenzuordnung: „station“ und „on“ oder „off“ sind nötig.";
        return std::nullopt;
    }
    return map;
}

std::string ColumnMapJson(const CColumnMap& map)
{
    nlohmann::ordered_json j;
    j["separator"] = CharText(map.separator);
    j["decimal"] = CharText(map.decimal);
    j["skip"] = map.skip;
    nlohmann::ordered_json cols = nlohmann::ordered_json::object();
    for (size_t i = 0; i < kColumnCount; ++i) {
        const CColumnRef& ref = map.columns[i];
        if (ref.number > 0) cols[kKeys[i]] = ref.number;
        else if (!ref.title.empty()) cols[kKeys[i]] = ref.title;
    }
    j["columns"] = cols;
    j["potentialUnit"] = UnitText(map.potentialUnit);
    j["gradientUnit"] = UnitText(map.gradientUnit);
    j["station"] = StationText(map.station);
    for (auto [key, field] :
         {std::pair{"pipeline", &map.pipeline}, std::pair{"number", &map.number}, std::pair{"date", &map.date},
          std::pair{"criterion", &map.criterion}, std::pair{"electrode", &map.electrode}})
        if (!field->empty()) j[key] = *field;
    return j.dump(2) + "\n";
}

namespace {

// A value's titles in one built-in layout, folded; the first cell that
// matches one of them is its column.
struct STitles {
    EColumn column;
    std::array<const char*, 5> titles; // unused ones null
};

// The survey managers' export first: its "CIS On" must not be taken for a
// generic "On" of another column.
constexpr STitles kManager[] = {{EColumn::Station, {"stationnumber"}},
                                {EColumn::On, {"cison"}},
                                {EColumn::Off, {"cisoff"}},
                                {EColumn::Comment, {"remarks"}},
                                {EColumn::Lat, {"lat"}},
                                {EColumn::Lon, {"lon"}},
                                {EColumn::Pdop, {"pdop"}},
                                {EColumn::Interpolated, {"interpolated"}}};
constexpr STitles kGeneric[] = {{EColumn::Station, {"station", "meter", "distance", "messmeter", "stationierung"}},
                                {EColumn::On, {"ein", "on", "potentialein"}},
                                {EColumn::Off, {"aus", "off", "potentialaus"}},
                                {EColumn::GradOnL, {"gradeinl", "gradonl"}},
                                {EColumn::GradOffL, {"gradausl", "gradoffl"}},
                                {EColumn::GradOnR, {"gradeinr", "gradonr"}},
                                {EColumn::GradOffR, {"gradausr", "gradoffr"}},
                                {EColumn::Comment, {"kommentar", "comment", "remarks", "bemerkung"}},
                                {EColumn::Lat, {"breite", "lat", "latitude"}},
                                {EColumn::Lon, {"länge", "lon", "longitude"}},
                                {EColumn::Pdop, {"pdop"}},
                                {EColumn::Interpolated, {"interpolated", "interpoliert"}},
                                {EColumn::Time, {"zeit", "time"}}};

std::optional<CColumnMap> Match(std::span<const STitles> layout, const std::vector<std::string>& cells)
{
    std::vector<std::string> folded;
    for (const std::string& c : cells) folded.push_back(Folded(c));
    CColumnMap map;
    for (const auto& [column, titles] : layout) {
        for (size_t i = 0; i < folded.size() && !map[column].Used(); ++i)
            for (const char* t : titles)
                if (t && folded[i] == t) map[column].title = cells[i];
    }
    if (!map[EColumn::Station].Used() || (!map[EColumn::On].Used() && !map[EColumn::Off].Used())) return std::nullopt;
    return map;
}

} // namespace

std::optional<CColumnMap> BuiltInMap(const std::vector<std::string>& headerCells)
{
    if (auto m = Match(kManager, headerCells)) return m;
    return Match(kGeneric, headerCells);
}

} // namespace tresimport
