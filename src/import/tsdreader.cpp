// SPDX-License-Identifier: GPL-3.0-or-later
#include "tsdreader.h"

#include "doc/codepage.h"
#include "doc/dochost.h"
#include "doc/errorlimits.h"
#include "doc/fileerror.h"
#include "doc/numtext.h"
#include "doc/qmline.h"
#include "doc/surveyimage.h"
#include "doc/tsdfile.h"
#include "filebytes.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace {

const std::string_view kKopfdaten = "[Kopfdaten]";
const std::string_view kTabellendruck = "[Tabellendruck]";
const std::string_view kGrafikdruck = "[Grafikdruck]";
const std::string_view kMessdaten = "[Messdaten]";
const std::string_view kFehlerListe = "[FehlerListe]";

constexpr size_t npos = std::string_view::npos;

// A section heading counts only where a line starts: a comment or header
// text that mentions "[Messdaten]" must not cut the survey apart when it is
// read back.
size_t FindHeading(std::string_view text, std::string_view heading)
{
    size_t pos = 0;
    while ((pos = text.find(heading, pos)) != npos) {
        if (pos == 0 || text[pos - 1] == '\n') return pos;
        pos += heading.size();
    }
    return npos;
}

// Calls `fn(line)` for every line of `block`; lines end at LF, a CR before
// it is dropped (files from the handheld and from us end lines with CR LF).
template <typename Fn> void ForEachLine(std::string_view block, Fn fn)
{
    size_t pos = 0;
    while (pos < block.size()) {
        size_t nl = block.find('\n', pos);
        const size_t end = nl == npos ? block.size() : nl;
        std::string_view line = block.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!fn(line, end)) return;
        pos = end + 1;
    }
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

// Splits at ';' into at most `count` fields; missing fields are empty.
// Fields are a few characters long, too short for a library search per field
// to pay off.
template <size_t N> std::array<std::string_view, N> SplitFields(std::string_view line)
{
    std::array<std::string_view, N> fields{};
    const char* p = line.data();
    const char* const end = p + line.size();
    for (size_t i = 0; i < N; ++i) {
        const char* semi = p;
        while (semi != end && *semi != ';') ++semi;
        fields[i] = std::string_view(p, static_cast<size_t>(semi - p));
        if (semi == end) break;
        p = semi + 1;
    }
    return fields;
}

// Volts as whole millivolts. Volts are written in single precision, which
// puts the very edge of the 32-bit range up to a quarter volt beyond it; that
// text stands for the edge value, or a saved survey would lose it on the next
// open.
std::optional<int32_t> Millivolts(double volts)
{
    if (const auto mv = tresnum::TruncScaled(volts, 1000.0)) return mv;
    constexpr double kEdge = 2147483648.0, kWriteSlack = 1000.0;
    const double mv = volts * 1000.0;
    if (std::isfinite(mv) && std::abs(mv) < kEdge + kWriteSlack)
        return mv < 0 ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
    return std::nullopt;
}

int32_t ReadPotential(std::string_view field)
{
    if (field.empty()) return NO_VALUE;
    return Millivolts(tresnum::ParseDecimalCommaPrefix(field)).value_or(NO_VALUE);
}

int32_t ReadGradient(std::string_view field)
{
    if (field.empty()) return NO_VALUE;
    return tresnum::TruncScaled(tresnum::ParseDoublePrefix(field), 10.0).value_or(NO_VALUE);
}

// Whether a field begins with a number (blanks and a sign before it
// allowed): the values read 0 from words as atof does, which says nothing
// about whether the line was a measuring point.
bool BeginsWithNumber(std::string_view field)
{
    size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) ++i;
    if (i < field.size() && (field[i] == '.' || field[i] == ',')) ++i;
    return i < field.size() && field[i] >= '0' && field[i] <= '9';
}

// Fills a row straight in its place in the vector: the line is a view into
// the file's buffer and only the comment is copied out. True when one of
// the seven number fields begins with a number: a line of words alone is
// no measuring point, and a file of nothing else is no survey.
bool ReadDataLine(std::string_view line, CMeasRow& row)
{
    const auto f = SplitFields<8>(line);
    row.m_nMeter = tresnum::ParseIntPrefix(f[0]).value_or(0);
    row.m_nPotOn = ReadPotential(f[1]);
    row.m_nPotOff = ReadPotential(f[2]);
    row.m_nGradOnL = ReadGradient(f[3]);
    row.m_nGradOffL = ReadGradient(f[4]);
    row.m_nGradOnR = ReadGradient(f[5]);
    row.m_nGradOffR = ReadGradient(f[6]);
    row.m_strComment = tresdoc::Cp850ToUtf8(f[7]);
    return std::any_of(f.begin(), f.begin() + 7, BeginsWithNumber);
}

// A limit bound as the file writes it: volts for the potentials, whole
// millivolts for the gradients (read through thousandths, as always).
std::optional<int32_t> ReadBound(int k, std::string_view field)
{
    const double v = tresnum::ParseDecimalCommaPrefix(field);
    if (k <= POTIR) return Millivolts(v);
    // Whole thousandths first, then tenths; the thousandths may pass the
    // 32-bit range where the tenths still fit (a limit we wrote ourselves).
    const double thousandths = std::trunc(v * 1000.0);
    if (!std::isfinite(thousandths)) return std::nullopt;
    const double tenths = std::trunc(thousandths / 100.0);
    if (tenths > std::numeric_limits<int32_t>::max() || tenths < std::numeric_limits<int32_t>::min())
        return std::nullopt;
    return static_cast<int32_t>(tenths);
}

// Everything the file says, gathered before the document is touched.
struct CParsedFile {
    std::vector<std::string_view> headerLines; // index = line number in the block
    std::vector<CMeasRow> rows;
    bool recognised = false; // some row has a number
    std::vector<std::pair<std::string_view, std::string_view>> tableKeys, plotKeys;
    std::vector<std::array<std::string_view, 3>> limitLines;
};

class CBlocks {
public:
    explicit CBlocks(std::string_view text)
        : m_text(text)
    {
        m_posK = FindHeading(text, kKopfdaten);
        m_posT = FindHeading(text, kTabellendruck);
        m_posG = FindHeading(text, kGrafikdruck);
        m_posM = FindHeading(text, kMessdaten);
        m_posF = FindHeading(text, kFehlerListe);
    }

    bool HasData() const { return m_posM != npos; }
    bool HasPrintBlocks() const { return m_posT != npos && m_posG != npos; }

    std::string_view Header() const { return Block(m_posK, HasPrintBlocks() ? m_posT : m_posM); }
    std::string_view Table() const { return Block(m_posT, m_posG); }
    std::string_view Plot() const { return Block(m_posG, m_posM); }
    std::string_view Data() const { return Block(m_posM, m_posF); }
    std::string_view Limits() const { return Block(m_posF, npos); }

private:
    // A block runs from its heading to the heading that should follow it.
    // When that one stands earlier in the file, the block ends at the next
    // heading after it instead, so a section out of order never makes a
    // block swallow or lose the survey's data lines.
    std::string_view Block(size_t start, size_t preferredEnd) const
    {
        if (start == npos) return {};
        size_t end = preferredEnd;
        if (end == npos || end < start) {
            end = m_text.size();
            for (size_t p : {m_posK, m_posT, m_posG, m_posM, m_posF})
                if (p != npos && p > start && p < end) end = p;
        }
        return m_text.substr(start, end - start);
    }

    std::string_view m_text;
    size_t m_posK, m_posT, m_posG, m_posM, m_posF;
};

// Older files have no sections: ten header lines, then the data.
std::string RebuildOlderLayout(std::string_view text)
{
    size_t pos = 0;
    for (int line = 0; line < 10 && pos < text.size(); ++line) {
        const size_t nl = text.find('\n', pos);
        pos = nl == npos ? text.size() : nl + 1;
    }
    std::string out;
    out.reserve(text.size() + 32);
    out.append(kKopfdaten).append("\r\n");
    out.append(text.substr(0, pos));
    if (pos > 0 && text[pos - 1] != '\n') out.append("\r\n");
    out.append(kMessdaten).append("\r\n");
    out.append(text.substr(pos));
    return out;
}

// An upper bound of the rows in a block: its line feeds plus one.
size_t CountLines(std::string_view block)
{
    size_t lines = 1;
    for (size_t pos = block.find('\n'); pos != npos; pos = block.find('\n', pos + 1)) ++lines;
    return lines;
}

void ParseData(std::string_view block, CParsedFile& parsed, CProgressSteps& progress)
{
    // Every row is a line: with room for all of them up front the rows are
    // built once in place, never moved while the vector would grow.
    parsed.rows.reserve(CountLines(block));
    tresimport::MapInAdvance(parsed.rows.data(), parsed.rows.capacity() * sizeof(CMeasRow));
    const size_t length = block.size();
    bool heading = true;
    ForEachLine(block, [&](std::string_view line, size_t end) {
        if (heading) {
            heading = false;
            return true;
        }
        const size_t remaining = end < length ? length - end : 0;
        progress.Report(static_cast<int>(100 - static_cast<uint64_t>(remaining) * 100 / length));
        // A heading is never a row: a second "[Messdaten]", or a section our
        // reader does not know standing after the data, gave a row of metre
        // 0 that the next save wrote as a reading.
        if (line.size() >= 5 && line.front() != '[' && ReadDataLine(line, parsed.rows.emplace_back()))
            parsed.recognised = true;
        return true;
    });
}

void ParseKeyLines(std::string_view block, std::vector<std::pair<std::string_view, std::string_view>>& out)
{
    bool heading = true;
    ForEachLine(block, [&](std::string_view line, size_t) {
        if (heading) {
            heading = false;
            return true;
        }
        const auto f = SplitFields<2>(line);
        if (line.find(';') != npos) out.emplace_back(f[0], f[1]);
        return true;
    });
}

} // namespace

namespace tresimport {

const CFileFilter& CTsdReader::Filter() const
{
    static const CFileFilter filter{"Tresmon Dateien", {"*.tsd"}};
    return filter;
}

EMatch CTsdReader::Identify(std::string_view head, std::string_view name) const
{
    for (std::string_view heading : {kKopfdaten, kMessdaten})
        if (FindHeading(head, heading) != npos) return EMatch::Content;
    // Older files have no sections and so nothing to tell them by: the
    // handheld names them *.TSD. A stream (standard input) has no name; what
    // comes through a pipe between our programs is this format.
    constexpr std::string_view kSuffix = ".tsd";
    if (name.empty()) return EMatch::Name;
    if (name.size() > kSuffix.size() && EqualsNoCase(name.substr(name.size() - kSuffix.size()), kSuffix))
        return EMatch::Name;
    return EMatch::No;
}

namespace {

// The parsed file as the document will take it.
// The keys of [Tabellendruck] and [Grafikdruck] and the switches they set;
// "KUNDE" 1 hides the head number.
struct SSwitchKey {
    const char* key;
    EPrintSwitch which;
    bool inverted;
};
constexpr SSwitchKey kTableSwitches[] = {{"IR", EPrintSwitch::TableIR, false},
                                         {"QM", EPrintSwitch::TableQM, false},
                                         {"ARIAL", EPrintSwitch::TableArial, false},
                                         {"LINESGW", EPrintSwitch::TableLinesGW, false},
                                         {"KUNDE", EPrintSwitch::HeadNumber, true}};
constexpr SSwitchKey kPlotSwitches[] = {{"IR", EPrintSwitch::PlotIR, false},
                                        {"QM", EPrintSwitch::PlotQM, false},
                                        {"GE", EPrintSwitch::PlotGradOn, false},
                                        {"GA", EPrintSwitch::PlotGradOff, false},
                                        {"GD", EPrintSwitch::PlotGradDiff, false}};

// Each line of a section with a known key sets its switch, in file order
// (a key given twice: the last one counts); unknown keys are passed over.
void TakeSwitches(const std::vector<std::pair<std::string_view, std::string_view>>& lines,
                  std::span<const SSwitchKey> known, CSurveyImage& image)
{
    for (const auto& [key, value] : lines) {
        const bool flag = value == "1";
        const auto it = std::find_if(known.begin(), known.end(),
                                     [&key](const SSwitchKey& k) { return EqualsNoCase(key, k.key); });
        if (it != known.end()) image.switches.emplace_back(it->which, it->inverted ? !flag : flag);
    }
}

void TakeParsed(CParsedFile& parsed, CSurveyImage& image)
{
    for (size_t i = 1; i < parsed.headerLines.size() && i <= 10; ++i) {
        if (i <= 7) {
            image.header[i] = tresdoc::Cp850ToUtf8(parsed.headerLines[i]);
        } else if (i == 10) {
            image.header[10] = std::string(parsed.headerLines[i]);
            tresdoc::DecodeQmLine(parsed.headerLines[i], image.qm);
        }
    }
    image.rows = std::move(parsed.rows);
    for (const auto& f : parsed.limitLines) {
        const int k = LimitFromName(std::string(f[0]));
        if (k < 0 || f[1].empty()) continue;
        const std::optional<int32_t> a = ReadBound(k, f[1]);
        const std::optional<int32_t> b = ReadBound(k, f[2]);
        // Both bounds or neither: a bound that does not fit clears the pair.
        image.limits.push_back({k, (a && b) ? *a : NO_VALUE, (a && b) ? *b : NO_VALUE});
    }
    TakeSwitches(parsed.tableKeys, kTableSwitches, image);
    TakeSwitches(parsed.plotKeys, kPlotSwitches, image);
}

} // namespace

CReadOutcome CTsdReader::Read(std::string_view bytes, const std::string& name, CDocHost& host,
                              CSurveyImage& image) const
{
    // A NUL ends the text: handheld files can be padded up to a block size.
    const size_t nul = bytes.find('\0');
    if (nul != npos) bytes = bytes.substr(0, nul);

    std::string rebuilt;
    std::string_view text = bytes;
    if (FindHeading(text, kKopfdaten) == npos) {
        rebuilt = RebuildOlderLayout(text);
        text = rebuilt;
    }
    const CBlocks blocks(text);
    if (!blocks.HasData()) return CReadOutcome::Refused(tresdoc::NoDataSectionText(name));

    host.ActivateFirstCurvePane();
    host.ProgressBegin();
    CProgressSteps progress(host);

    CParsedFile parsed;
    ForEachLine(blocks.Header(), [&](std::string_view line, size_t) {
        parsed.headerLines.push_back(line);
        return parsed.headerLines.size() <= 10;
    });
    ParseData(blocks.Data(), parsed, progress);
    host.StatusText("");
    host.ProgressEnd();
    if (!parsed.recognised) return CReadOutcome::Refused(tresdoc::NoDataText(name));
    if (blocks.HasPrintBlocks()) {
        ParseKeyLines(blocks.Table(), parsed.tableKeys);
        ParseKeyLines(blocks.Plot(), parsed.plotKeys);
    }
    {
        bool heading = true;
        ForEachLine(blocks.Limits(), [&](std::string_view line, size_t) {
            if (!heading) parsed.limitLines.push_back(SplitFields<3>(line));
            heading = false;
            return true;
        });
    }
    TakeParsed(parsed, image);
    return CReadOutcome::Done();
}

} // namespace tresimport
