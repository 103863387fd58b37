// SPDX-License-Identifier: GPL-3.0-or-later
#include "criterion.h"

#include "tredoc.h"

#include <cctype>
#include <cstdlib>
#include <string_view>

namespace {

const char* const kSourceIds[] = {"option", "header", "default"};

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

} // namespace

const char* CriterionSourceId(ECriterionSource s) { return kSourceIds[static_cast<int>(s)]; }

int32_t ProtectionPotentialFromText(const std::string& text)
{
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
        if (++integerDigits > kMaxIntegerDigits) return NO_VALUE;
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
    if (!any) return NO_VALUE;

    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    enum { None, MilliVolt, Volt } unit = None;
    if (s.size() == 2 && Lower(s[0]) == 'm' && Lower(s[1]) == 'v') unit = MilliVolt;
    else if (s.size() == 1 && Lower(s[0]) == 'v') unit = Volt;
    else if (!s.empty()) return NO_VALUE;

    int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const bool volts = unit == Volt || (unit == None && digits < 10 * scale);
    const int64_t numerator = digits * (volts ? 1000 : 1);
    const int64_t mv = (2 * numerator + scale) / (2 * scale); // half away from zero
    const int64_t value = negative ? -mv : mv;
    if (value < kProtectionPotentialLowest || value > kProtectionPotentialHighest) return NO_VALUE;
    return static_cast<int32_t>(value);
}

SProtectionCriterion ResolveProtectionCriterion(const std::string& headerText, int32_t option, int32_t limitPotential)
{
    SProtectionCriterion c;
    c.headerText = headerText;
    c.limitPotential = limitPotential;
    if (IsPresent(option)) {
        c.protection = option;
        c.source = ECriterionSource::Option;
        return c;
    }
    const int32_t fromHeader = ProtectionPotentialFromText(headerText);
    if (IsPresent(fromHeader)) {
        c.protection = fromHeader;
        c.source = ECriterionSource::Header;
        return c;
    }
    c.protection = kDefaultProtectionPotential;
    c.source = ECriterionSource::Default;
    const std::string_view shown = Trimmed(headerText);
    if (shown.empty()) c.warning = "Kein Schutzkriterium in den Kopfdaten; −850 mV angenommen.";
    else
        c.warning
            = "Schutzkriterium „" + std::string(shown) + "“ aus den Kopfdaten nicht verwendbar; −850 mV angenommen.";
    return c;
}

SProtectionCriterion SurveyProtectionCriterion(const CTreDoc& doc, int32_t option, int32_t limitPotential)
{
    return ResolveProtectionCriterion(doc.m_header[2], option, limitPotential);
}
