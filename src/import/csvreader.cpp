// SPDX-License-Identifier: GPL-3.0-or-later
#include "csvreader.h"

#include "csvcells.h"
#include "csvtext.h"
#include "doc/codepage.h"
#include "doc/dochost.h"
#include "doc/fileerror.h"
#include "doc/numtext.h"
#include "doc/surveyimage.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <limits>

namespace tresimport {

namespace {

CCsvOptions& Process()
{
    static CCsvOptions options;
    return options;
}

bool EndsWithNoCase(std::string_view name, std::string_view suffix)
{
    if (name.size() <= suffix.size()) return false;
    name = name.substr(name.size() - suffix.size());
    return std::equal(name.begin(), name.end(), suffix.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

std::string FoldedTitle(std::string_view s)
{
    std::string out;
    for (char c : Trimmed(s)) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The file's text up to its data lines, with the map made concrete.
struct CTable {
    std::string text;
    CColumnMap chosen; // as given, remembered or built in, `auto` left to the file
    CColumnMap map;
    std::string headerLine;
    bool skipBad = false;
    std::vector<std::string> header;
    std::array<int, kColumnCount> index{}; // 0-based cell, -1 unused
    size_t dataPos = 0;
    int line = 0; // lines read so far
};

// A map's columns as cells of the header line; false with `error` naming the
// first one the line does not have.
bool ResolveColumns(CTable& t, const std::string& name, std::string& error)
{
    for (size_t i = 0; i < kColumnCount; ++i) {
        const CColumnRef& ref = t.map.columns[i];
        t.index[i] = -1;
        if (!ref.Used()) continue;
        if (ref.number > 0) {
            if (static_cast<size_t>(ref.number) > t.header.size()) {
                error = "Die Datei " + name + " hat keine Spalte " + std::to_string(ref.number) + " (für „"
                        + ColumnKey(static_cast<EColumn>(i)) + "“). Sie wurde nicht geöffnet.";
                return false;
            }
            t.index[i] = ref.number - 1;
            continue;
        }
        const std::string want = FoldedTitle(ref.title);
        const auto it = std::find_if(t.header.begin(), t.header.end(),
                                     [&](const std::string& c) { return FoldedTitle(c) == want; });
        if (it == t.header.end()) {
            error = "Die Datei " + name + " hat keine Spalte „" + ref.title + "“ (für „"
                    + ColumnKey(static_cast<EColumn>(i)) + "“). Sie wurde nicht geöffnet.";
            return false;
        }
        t.index[i] = static_cast<int>(it - t.header.begin());
    }
    return true;
}

// The map a user chose for files with this header line, if any.
const SRememberedMap* RememberedFor(const std::string& text, const CCsvOptions& options)
{
    if (options.map) return nullptr;
    for (const SRememberedMap& r : options.remembered)
        if (!r.headerLine.empty() && LineAt(text, r.map.skip) == r.headerLine) return &r;
    return nullptr;
}

bool Prepare(std::string_view bytes, const std::string& name, const CCsvOptions& options, CTable& t, std::string& error)
{
    if (!DecodeText(bytes, t.text)) {
        error = "Die Datei " + name + " ist keine Textdatei. Sie wurde nicht geöffnet.";
        return false;
    }
    const SRememberedMap* remembered = RememberedFor(t.text, options);
    const CColumnMap* given = options.map ? &*options.map : remembered ? &remembered->map : nullptr;
    t.skipBad = options.skipBad || (remembered && remembered->skipBad);
    const int skip = given ? given->skip : 0;
    // Lines before the header are a logger's notes, quotes in them or not.
    for (int i = 0; i < skip && t.dataPos < t.text.size(); ++i, ++t.line) {
        const size_t nl = t.text.find('\n', t.dataPos);
        t.dataPos = nl == std::string::npos ? t.text.size() : nl + 1;
    }
    t.headerLine = LineAt(t.text, skip);
    const char separator = given && given->separator ? given->separator : DetectSeparator(t.text, t.dataPos);
    if (!NextRecord(t.text, t.dataPos, separator, t.header, t.line)) {
        error = tresdoc::NoDataText(name);
        return false;
    }
    if (given) t.chosen = *given;
    else if (auto builtIn = BuiltInMap(t.header)) t.chosen = *builtIn;
    else {
        error = "Die Datei " + name
                + " hat keine bekannte Kopfzeile; sie braucht eine Spaltenzuordnung. Sie wurde nicht geöffnet.";
        return false;
    }
    t.map = t.chosen;
    t.map.separator = separator;
    t.map.skip = skip;
    return ResolveColumns(t, name, error);
}

struct CRecord {
    int line;
    std::vector<std::string> cells;
};

const std::string& Cell(const CTable& t, const CRecord& r, EColumn c)
{
    static const std::string kEmpty;
    const int i = t.index[static_cast<size_t>(c)];
    return i < 0 || static_cast<size_t>(i) >= r.cells.size() ? kEmpty : r.cells[static_cast<size_t>(i)];
}

constexpr EColumn kNumberColumns[]
    = {EColumn::On,       EColumn::Off, EColumn::GradOnL, EColumn::GradOffL, EColumn::GradOnR,
       EColumn::GradOffR, EColumn::Lat, EColumn::Lon,     EColumn::Pdop};

// The decimal mark, the station notation and the potential unit a map
// leaves to the file, from its cells.
void ResolveAuto(CTable& t, const std::vector<CRecord>& records)
{
    if (!t.map.decimal) {
        t.map.decimal = '.';
        // A comma that separates cells cannot also be the decimal mark.
        if (t.map.separator != ',')
            for (const CRecord& r : records) {
                for (EColumn c : kNumberColumns)
                    if (Cell(t, r, c).find(',') != std::string::npos) t.map.decimal = ',';
                if (Cell(t, r, EColumn::Station).find(',') != std::string::npos) t.map.decimal = ',';
            }
    }
    if (t.map.station == EStationNotation::Auto) {
        t.map.station = EStationNotation::Metre;
        for (const CRecord& r : records)
            if (!Trimmed(Cell(t, r, EColumn::Station)).empty()) {
                t.map.station = GuessStationNotation(Cell(t, r, EColumn::Station));
                break;
            }
    }
    if (t.map.potentialUnit == EPotentialUnit::Auto) {
        auto median = [&](EColumn c) {
            std::vector<double> v;
            for (const CRecord& r : records)
                if (const auto x = CellNumber(Cell(t, r, c), t.map.decimal)) v.push_back(std::abs(*x));
            if (v.empty()) return std::numeric_limits<double>::infinity();
            std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
            return v[v.size() / 2];
        };
        t.map.potentialUnit
            = median(EColumn::On) < 10 || median(EColumn::Off) < 10 ? EPotentialUnit::V : EPotentialUnit::MilliV;
    }
}

// Rounded half away from zero into 32 bits, never onto the absent marker.
std::optional<int32_t> Whole(double v)
{
    const double r = tresnum::RoundHalfAway(v, 0);
    if (!(std::abs(r) < 2147483647.0) || r == NO_VALUE) return std::nullopt;
    return static_cast<int32_t>(r);
}

struct CRowResult {
    CMeasRow row;
    CRowExtra extra;
    double station = 0;
};

std::string NotANumber(const CTable& t, EColumn c, const std::string& cell)
{
    return "Spalte „" + t.header[static_cast<size_t>(t.index[static_cast<size_t>(c)])] + "“: „" + cell
           + "“ ist keine Zahl";
}

// One data line; the reason in `error` when a cell cannot be read.
bool ReadRecord(const CTable& t, const CRecord& r, CRowResult& out, std::string& error)
{
    if (r.cells.size() != t.header.size()) {
        error = std::to_string(r.cells.size()) + " Zellen statt " + std::to_string(t.header.size());
        return false;
    }
    const std::string& st = Cell(t, r, EColumn::Station);
    const auto station = CellStation(st, t.map.station, t.map.decimal);
    const auto metre = station ? Whole(*station) : std::nullopt;
    if (!metre) return error = NotANumber(t, EColumn::Station, st), false;
    out.station = *station;
    out.row.m_nMeter = *metre;
    const double potScale = t.map.potentialUnit == EPotentialUnit::V ? 1000.0 : 1.0;
    const double gradScale = t.map.gradientUnit == EPotentialUnit::V ? 10000.0 : 10.0;
    const std::pair<EColumn, int32_t CMeasRow::*> values[]
        = {{EColumn::On, &CMeasRow::m_nPotOn},        {EColumn::Off, &CMeasRow::m_nPotOff},
           {EColumn::GradOnL, &CMeasRow::m_nGradOnL}, {EColumn::GradOffL, &CMeasRow::m_nGradOffL},
           {EColumn::GradOnR, &CMeasRow::m_nGradOnR}, {EColumn::GradOffR, &CMeasRow::m_nGradOffR}};
    for (const auto& [column, member] : values) {
        const std::string& cell = Cell(t, r, column);
        if (Trimmed(cell).empty()) continue; // absent, never 0
        const auto v = CellNumber(cell, t.map.decimal);
        const double scale = column == EColumn::On || column == EColumn::Off ? potScale : gradScale;
        const auto whole = v ? Whole(*v * scale) : std::nullopt;
        if (!whole) return error = NotANumber(t, column, cell), false;
        out.row.*member = *whole;
    }
    const std::pair<EColumn, double CRowExtra::*> extras[]
        = {{EColumn::Lat, &CRowExtra::lat}, {EColumn::Lon, &CRowExtra::lon}, {EColumn::Pdop, &CRowExtra::pdop}};
    for (const auto& [column, member] : extras) {
        const std::string& cell = Cell(t, r, column);
        if (Trimmed(cell).empty()) continue;
        const auto v = CellNumber(cell, t.map.decimal);
        if (!v) return error = NotANumber(t, column, cell), false;
        out.extra.*member = *v;
    }
    out.extra.interpolated = CellFlag(Cell(t, r, EColumn::Interpolated));
    out.extra.time = Cell(t, r, EColumn::Time);
    const std::string& comment = Cell(t, r, EColumn::Comment);
    out.row.m_strComment = comment;
    // Kept whole where the handheld's code page would change it.
    if (tresdoc::Cp850ToUtf8(tresdoc::Utf8ToCp850(comment)) != comment) out.extra.comment = comment;
    if (*station != *metre) out.extra.chainage = *station;
    return true;
}

std::string RoundingNote(size_t count, double most)
{
    return std::to_string(count) + (count == 1 ? " Station" : " Stationen") + " auf ganze Meter gerundet, "
           + (count == 1 ? "um " : "höchstens um ") + tresnum::GermanNumber(most, 3) + " m.";
}

void TakeHeader(const CColumnMap& map, CSurveyImage& image)
{
    image.header[1] = map.date;
    image.header[2] = map.criterion;
    image.header[3] = map.pipeline;
    image.header[4] = map.number;
    if (!image.rows.empty()) image.header[5] = tresnum::FormatInt(image.rows.front().m_nMeter);
    image.extras.electrode = map.electrode;
}

std::vector<CRecord> ReadRecords(CTable& t)
{
    std::vector<CRecord> records;
    CRecord r;
    for (;;) {
        r.line = t.line + 1;
        if (!NextRecord(t.text, t.dataPos, t.map.separator, r.cells, t.line)) break;
        if (r.cells.size() == 1 && Trimmed(r.cells[0]).empty()) continue; // an empty line
        records.push_back(std::move(r));
        r = CRecord{};
    }
    return records;
}

// The map as applied and the skipping of bad lines, as one JSON object: a
// column map with "skipBad" beside its keys.
std::string ReadingText(const CTable& t)
{
    nlohmann::ordered_json j = nlohmann::ordered_json::parse(ColumnMapJson(t.map));
    j["skipBad"] = t.skipBad;
    return j.dump();
}

} // namespace

std::optional<CCsvOptions> OptionsOfReading(const std::string& reading, std::string& error)
{
    auto map = ParseColumnMap(reading, error);
    if (!map) return std::nullopt;
    const nlohmann::json j = nlohmann::json::parse(reading, nullptr, false);
    CCsvOptions options;
    options.map = std::move(map);
    options.skipBad = j.contains("skipBad") && j["skipBad"].is_boolean() && j["skipBad"].get<bool>();
    return options;
}

void SetCsvOptions(CCsvOptions options) { Process() = std::move(options); }
const CCsvOptions& CsvOptions() { return Process(); }

const CFileFilter& CCsvReader::Filter() const
{
    static const CFileFilter filter{"CSV- und Textexporte", {"*.csv", "*.txt"}};
    return filter;
}

EMatch CCsvReader::Identify(std::string_view head, std::string_view name) const
{
    const CCsvOptions& o = Options();
    // The head may end inside a line: only the header line is looked at.
    CTable t;
    std::string error;
    if (Prepare(head, std::string(name), o, t, error)) return EMatch::Content;
    if (o.map && (EndsWithNoCase(name, ".csv") || EndsWithNoCase(name, ".txt"))) return EMatch::Name;
    return EMatch::No;
}

std::optional<SRememberedMap> CCsvReader::ChosenMap(std::string_view bytes) const
{
    CTable t;
    std::string error;
    // A map whose columns this header lacks is still the one chosen: the
    // import dialog shows it to be mended.
    Prepare(bytes, std::string(), Options(), t, error);
    if (!t.chosen[EColumn::Station].Used()) return std::nullopt;
    return SRememberedMap{t.headerLine, t.chosen, t.skipBad};
}

std::optional<CColumnMap> CCsvReader::MapFor(std::string_view bytes, const std::string& name, std::string& error) const
{
    CTable t;
    if (!Prepare(bytes, name, Options(), t, error)) return std::nullopt;
    ResolveAuto(t, ReadRecords(t));
    return t.map;
}

CReadOutcome CCsvReader::Read(std::string_view bytes, const std::string& name, CDocHost& host,
                              CSurveyImage& image) const
{
    CTable t;
    std::string error;
    if (!Prepare(bytes, name, Options(), t, error)) return CReadOutcome::Refused(error);
    host.ActivateFirstCurvePane();
    const std::vector<CRecord> records = ReadRecords(t);
    ResolveAuto(t, records);
    image.rows.reserve(records.size());
    image.extras.rows.reserve(records.size());
    size_t rounded = 0;
    double most = 0;
    for (const CRecord& r : records) {
        CRowResult result;
        if (!ReadRecord(t, r, result, error)) {
            const std::string where = "Zeile " + std::to_string(r.line);
            if (!t.skipBad) return CReadOutcome::Refused(name + ": " + where + (error[0] == 'S' ? ", " : ": ") + error);
            image.extras.notes.push_back(where + " übersprungen: " + error + ".");
            continue;
        }
        if (const double d = std::abs(result.station - result.row.m_nMeter); d > 0) {
            ++rounded;
            most = std::max(most, d);
        }
        result.row.m_nSource = static_cast<uint32_t>(image.extras.rows.size() + 1);
        image.rows.push_back(std::move(result.row));
        image.extras.rows.push_back(std::move(result.extra));
    }
    if (image.rows.empty()) return CReadOutcome::Refused(tresdoc::NoDataText(name));
    if (rounded) image.extras.notes.insert(image.extras.notes.begin(), RoundingNote(rounded, most));
    TakeHeader(t.map, image);
    image.extras.reading = ReadingText(t);
    // One message for all of them: a window shows it once, not per line.
    std::string said;
    for (const std::string& note : image.extras.notes) said += (said.empty() ? "" : "\n") + note;
    if (!said.empty()) host.ShowMessage(said);
    return CReadOutcome::Done();
}

} // namespace tresimport
