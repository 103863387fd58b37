// SPDX-License-Identifier: GPL-3.0-or-later
#include "criterion.h"

#include "tredoc.h"

#include <cctype>
#include <cstdlib>
#include <string_view>

namespace {

const char* const kSourceIds[] = {"option", "header", "default"};
const char* const kSourceNames[] = {"vorgegeben", "aus Kopfdaten", "angenommen"};

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Beyond these the text is no criterion anyway (more than 999,999 before the
// point), and digits after the ninth decimal cannot move a value rounded to
// whole mV off its half: the integers below stay far inside 64 bits.
constexpr int kMaxIntegerDigits = 6;
constexpr int kMaxDecimals = 9;

bool StartsNoCase(std::string_view s, std::string_view word)
{
    if (s.size() < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (Lower(s[i]) != Lower(word[i])) return false;
    return true;
}

void SkipBlanks(std::string_view& s)
{
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
}

// The names an electrode goes by, longest first where one begins another.
struct SElectrodeName {
    const char* name;
    const char* normalised;
};
constexpr SElectrodeName kElectrodes[]
    = {{"Cu/CuSO4", "Cu/CuSO4"}, {"CuCuSO4", "Cu/CuSO4"}, {"CSE", "Cu/CuSO4"}, {"Ag/AgCl", "Ag/AgCl"}, {"Zn", "Zn"}};

// The electrode at the start of `s`, which then lies after its name.
const SElectrodeName* TakeElectrode(std::string_view& s)
{
    for (const SElectrodeName& e : kElectrodes) {
        const std::string_view name(e.name);
        if (!StartsNoCase(s, name)) continue;
        // A longer word that only begins like one ("Zinn") is none.
        if (s.size() > name.size() && std::isalnum(static_cast<unsigned char>(s[name.size()]))) continue;
        s.remove_prefix(name.size());
        return &e;
    }
    return nullptr;
}

// What may follow the value: nothing, or an electrode after an optional
// "gegen", "vs." or "vs", in parentheses or not. False for anything else.
bool ReadElectrodeTail(std::string_view s, std::string& electrode)
{
    SkipBlanks(s);
    if (s.empty()) return true;
    for (const std::string_view word : {"gegen", "vs.", "vs"}) {
        if (!StartsNoCase(s, word)) continue;
        const std::string_view rest = s.substr(word.size());
        // "vs." may touch the name; the words need a blank after them.
        if (word.back() != '.' && (rest.empty() || !IsBlank(rest.front()))) continue;
        s = rest;
        SkipBlanks(s);
        break;
    }
    const bool parenthesised = s.starts_with('(');
    if (parenthesised) {
        s.remove_prefix(1);
        SkipBlanks(s);
    }
    const SElectrodeName* e = TakeElectrode(s);
    if (!e) return false;
    SkipBlanks(s);
    if (parenthesised) {
        if (!s.starts_with(')')) return false;
        s.remove_prefix(1);
        SkipBlanks(s);
    }
    if (!s.empty()) return false;
    electrode = e->normalised;
    return true;
}

} // namespace

const char* CriterionSourceId(ECriterionSource s) { return kSourceIds[static_cast<int>(s)]; }
const char* CriterionSourceName(ECriterionSource s) { return kSourceNames[static_cast<int>(s)]; }

std::string ElectrodeNamed(const std::string& text)
{
    std::string_view s = Trimmed(text);
    const SElectrodeName* e = TakeElectrode(s);
    return e ? e->normalised : std::string();
}

int32_t ProtectionPotentialFromText(const std::string& text) { return ReadCriterionText(text).mv; }

SCriterionText ReadCriterionText(const std::string& text)
{
    SCriterionText out = ReadPotentialText(text);
    if (IsPresent(out.mv) && (out.mv < kProtectionPotentialLowest || out.mv > kProtectionPotentialHighest)) return {};
    return out;
}

SCriterionText ReadPotentialText(const std::string& text)
{
    SCriterionText out;
    std::string_view s = Trimmed(text);
    bool negative = false;
    if (s.starts_with('+')) s.remove_prefix(1);
    else if (s.starts_with('-')) {
        negative = true;
        s.remove_prefix(1);
    } else if (s.starts_with("\u2212")) { // a typographic minus pasted from a document
        negative = true;
        s.remove_prefix(3);
    }

    // The number as an integer and its count of decimals, read exactly: a
    // binary double would put -0.8505 V a hair below the half.
    int64_t digits = 0;
    int integerDigits = 0, decimals = 0;
    bool any = false;
    for (; !s.empty() && IsDigit(s.front()); s.remove_prefix(1)) {
        any = true;
        if (digits == 0 && s.front() == '0') continue;
        if (++integerDigits > kMaxIntegerDigits) return out;
        digits = digits * 10 + (s.front() - '0');
    }
    if (!s.empty() && (s.front() == '.' || s.front() == ',')) {
        s.remove_prefix(1);
        for (; !s.empty() && IsDigit(s.front()); s.remove_prefix(1)) {
            any = true;
            if (decimals == kMaxDecimals) continue;
            digits = digits * 10 + (s.front() - '0');
            ++decimals;
        }
    }
    if (!any) return out;

    SkipBlanks(s);
    // A unit is a word of its own: "vs" after the number is no volt.
    const auto unitEnds = [&s](size_t n) { return s.size() == n || IsBlank(s[n]) || s[n] == '('; };
    enum { None, MilliVolt, Volt } unit = None;
    if (StartsNoCase(s, "mv") && unitEnds(2)) {
        unit = MilliVolt;
        s.remove_prefix(2);
    } else if (StartsNoCase(s, "v") && unitEnds(1)) {
        unit = Volt;
        s.remove_prefix(1);
    }
    std::string electrode;
    if (!ReadElectrodeTail(s, electrode)) return out;

    int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const bool volts = unit == Volt || (unit == None && digits < 10 * scale);
    const int64_t numerator = digits * (volts ? 1000 : 1);
    const int64_t mv = (2 * numerator + scale) / (2 * scale); // half away from zero
    const int64_t value = negative ? -mv : mv;
    out.mv = static_cast<int32_t>(value);
    out.electrode = std::move(electrode);
    return out;
}

bool CriterionElectrodeDiffers(const SProtectionCriterion& c, const std::string& measuringElectrode)
{
    const std::string measured = ElectrodeNamed(measuringElectrode);
    return !c.electrode.empty() && !measured.empty() && c.electrode != measured;
}

std::string CriterionElectrodeWarning(const SProtectionCriterion& c, const std::string& measuringElectrode)
{
    if (!CriterionElectrodeDiffers(c, measuringElectrode)) return std::string();
    return "Schutzkriterium gegen " + c.electrode + " angegeben, Bezugselektrode der Messung "
           + std::string(Trimmed(measuringElectrode));
}

SProtectionCriterion ResolveProtectionCriterion(const std::string& headerText, int32_t option, int32_t limitPotential,
                                                const std::string& measuringElectrode)
{
    SProtectionCriterion c;
    c.headerText = headerText;
    c.limitPotential = limitPotential;
    const SCriterionText read = ReadCriterionText(headerText);
    c.electrode = read.electrode;
    if (IsPresent(option)) {
        c.protection = option;
        c.source = ECriterionSource::Option;
        return c;
    }
    const bool otherElectrode = CriterionElectrodeDiffers(c, measuringElectrode);
    if (IsPresent(read.mv) && !otherElectrode) {
        c.protection = read.mv;
        c.source = ECriterionSource::Header;
        return c;
    }
    c.protection = kDefaultProtectionPotential;
    c.source = ECriterionSource::Default;
    const std::string_view shown = Trimmed(headerText);
    if (shown.empty()) c.warning = "Kein Schutzkriterium in den Kopfdaten; −850 mV angenommen.";
    else if (otherElectrode)
        c.warning = "Schutzkriterium „" + std::string(shown) + "“ gegen " + c.electrode
                    + " angegeben, Bezugselektrode der Messung " + std::string(Trimmed(measuringElectrode))
                    + ": nicht umrechenbar; −850 mV angenommen.";
    else
        c.warning
            = "Schutzkriterium „" + std::string(shown) + "“ aus den Kopfdaten nicht verwendbar; −850 mV angenommen.";
    return c;
}

SProtectionCriterion SurveyProtectionCriterion(const CTreDoc& doc, int32_t option, int32_t limitPotential,
                                               const std::string& measuringElectrode)
{
    return ResolveProtectionCriterion(doc.m_header[2], option, limitPotential, measuringElectrode);
}
