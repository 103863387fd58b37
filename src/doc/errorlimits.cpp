// SPDX-License-Identifier: GPL-3.0-or-later
#include "errorlimits.h"

#include "measrow.h"
#include "numtext.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

namespace {

const char* const kNames[LIMIT_COUNT] = {
    "POTE", "POTA", "POTIR", "UEIN", "UAUS", "UDIFF", "UEINL", "UAUSL", "UDIFFL", "UEINR", "UAUSR", "UDIFFR",
};

bool IsPotential(int k) { return k <= POTIR; }

// Boxes hold volts for the potentials (comma or point) and millivolts for
// the gradients; values that do not fit into 32 bits clear the pair.
std::optional<int32_t> BoxValue(int k, const std::string& text)
{
    if (IsPotential(k)) {
        std::string t = text;
        std::replace(t.begin(), t.end(), ',', '.');
        return tresnum::TruncScaled(tresnum::ParseDoublePrefix(t), 1000.0);
    }
    return tresnum::TruncScaled(tresnum::ParseDoublePrefix(text), 10.0);
}

} // namespace

const char* LimitName(int k) { return (k >= 0 && k < LIMIT_COUNT) ? kNames[k] : ""; }

int LimitFromName(const std::string& name)
{
    for (int k = 0; k < LIMIT_COUNT; ++k) {
        const std::string n = kNames[k];
        if (n.size() == name.size() && std::equal(n.begin(), n.end(), name.begin(), [](char a, char b) {
                return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
            }))
            return k;
    }
    return -1;
}

LimitBoxTexts LimitsToBoxTexts(const LimitArray& limits)
{
    LimitBoxTexts texts;
    for (int k = 0; k < LIMIT_COUNT; ++k) {
        const int32_t a = limits[k], b = limits[k + 12];
        if (!IsPresent(a) || !IsPresent(b)) continue;
        if (IsPotential(k)) {
            texts[k] = tresnum::FormatFixed(a * 0.001, 2);
            texts[k + 12] = tresnum::FormatFixed(b * 0.001, 2);
        } else {
            texts[k] = tresnum::FormatInt(a / 10);
            texts[k + 12] = tresnum::FormatInt(b / 10);
        }
    }
    return texts;
}

LimitArray BoxTextsToLimits(const LimitBoxTexts& texts)
{
    LimitArray limits;
    limits.fill(NO_VALUE);
    for (int k = 0; k < LIMIT_COUNT; ++k) {
        const std::string& maxText = texts[k];
        const std::string& minText = texts[k + 12];
        if (maxText.empty() || minText.empty()) continue;
        std::optional<int32_t> first = BoxValue(k, maxText);
        std::optional<int32_t> second = BoxValue(k, minText);
        if (!first || !second) continue;
        int32_t a = *first, b = *second;
        if (IsPotential(k)) {
            if (a > b) std::swap(a, b); // bound k is the smaller
        } else if (k <= UDIFF) {
            if (a < b) std::swap(a, b); // bound k is the larger
        }
        limits[k] = a;
        limits[k + 12] = b;
    }
    return limits;
}
