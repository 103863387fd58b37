// SPDX-License-Identifier: GPL-3.0-or-later
#include "assesswords.h"

#include "doc/numtext.h"

#include <nlohmann/json.hpp>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tresexport {

const SVerdictNumberOption kVerdictNumberOptions[11] = {
    {"--protection-limit", 0, &SVerdictSettings::protectionPotential, nullptr, ESettingRange::Negative},
    {"--limit-potential", 0, &SVerdictSettings::limitPotential, nullptr, ESettingRange::Negative},
    {"--irfree-min-diff", 1, &SVerdictSettings::irfreeMinDiff, nullptr, ESettingRange::NotNegative},
    {"--irfree-max-ratio", -1, nullptr, &SVerdictSettings::irfreeMaxRatio, ESettingRange::NotNegative},
    {"--gap", 2, nullptr, &SVerdictSettings::gap, ESettingRange::Positive},
    {"--background", 2, nullptr, &SVerdictSettings::background, ESettingRange::NotNegative},
    {"--defect-window", 2, nullptr, &SVerdictSettings::defectWindow, ESettingRange::NotNegative},
    {"--defect-factor", -1, nullptr, &SVerdictSettings::defectFactor, ESettingRange::NotNegative},
    {"--defect-min", 1, &SVerdictSettings::defectMin, nullptr, ESettingRange::NotNegative},
    {"--spike", 0, &SVerdictSettings::spike, nullptr, ESettingRange::NotNegative},
    {"--margin", 0, &SVerdictSettings::margin, nullptr, ESettingRange::NotNegative},
};

namespace {

// The shortest text that reads back as `v`.
std::string RealText(double v)
{
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
    return std::string(buf, end);
}

// Tenths of a mV as the option takes them: "5" or "3.5".
std::string TenthsWord(int32_t tenths)
{
    const std::string whole = (tenths < 0 ? "-" : "") + std::to_string(std::abs(tenths) / 10);
    return tenths % 10 == 0 ? whole : whole + "." + std::to_string(std::abs(tenths) % 10);
}

bool ReadNumber(const SVerdictNumberOption& opt, const std::string& value, SVerdictSettings& s, std::string& error)
{
    double number = 0;
    bool ok = true;
    if (opt.places < 0) {
        ok = tresnum::ParseDecimal(value, number);
    } else {
        int32_t scaled = 0;
        ok = tresnum::ParseScaledDecimal(value, opt.places, scaled);
        number = opt.whole ? scaled : scaled / 100.0;
    }
    if (!ok || !InSettingRange(opt.range, number)) {
        error = "Ungültiger Wert bei " + std::string(opt.name) + ": \"" + value + "\"";
        return false;
    }
    if (opt.whole) s.*opt.whole = static_cast<int32_t>(number);
    else s.*opt.real = number;
    return true;
}

bool ReadCategories(const std::string& value, std::array<double, 3>& out)
{
    const char separator = value.find(';') != std::string::npos ? ';' : ',';
    std::array<double, 3> bounds{};
    size_t start = 0;
    for (size_t i = 0; i < 3; ++i) {
        const size_t end = value.find(separator, start);
        if ((i < 2) == (end == std::string::npos)) return false;
        if (!tresnum::ParseDecimal(value.substr(start, end - start), bounds[i])
            || !InSettingRange(ESettingRange::Percent, bounds[i]))
            return false;
        start = end + 1;
    }
    if (!CategoriesAscend(bounds)) return false;
    out = bounds;
    return true;
}

} // namespace

std::vector<std::string> AssessOptionWords(const SAssessRequest& request)
{
    const SVerdictSettings& s = request.settings;
    const SVerdictSettings defaults;
    std::vector<std::string> words;
    for (const SVerdictNumberOption& opt : kVerdictNumberOptions) {
        if (opt.whole) {
            const int32_t v = s.*opt.whole;
            if (v == defaults.*opt.whole || !IsPresent(v)) continue;
            words.insert(words.end(), {opt.name, opt.places == 1 ? TenthsWord(v) : std::to_string(v)});
        } else if (s.*opt.real != defaults.*opt.real) {
            words.insert(words.end(), {opt.name, RealText(s.*opt.real)});
        }
    }
    if (s.categories != defaults.categories)
        words.insert(words.end(), {"--categories", RealText(s.categories[0]) + "," + RealText(s.categories[1]) + ","
                                                       + RealText(s.categories[2])});
    if (!s.use100mV) words.push_back("--no-100mv");
    if (!request.native.empty()) {
        words.insert(words.end(), {"--native", request.native});
        if (request.reverse) words.push_back("--reverse");
    }
    if (!request.pipeline.empty()) {
        words.insert(words.end(), {"--pipeline", request.pipeline});
        if (request.forcePipeline) words.push_back("--force-pipeline");
    }
    return words;
}

bool ReadAssessOptionWords(const std::vector<std::string>& words, SAssessRequest& out, std::string& error)
{
    for (size_t i = 0; i < words.size(); ++i) {
        std::string name = words[i], value;
        const size_t eq = name.find('=');
        const bool inWord = eq != std::string::npos;
        if (inWord) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        const auto take = [&] {
            if (inWord) return true;
            if (i + 1 >= words.size()) {
                error = name + " braucht einen Wert.";
                return false;
            }
            value = words[++i];
            return true;
        };
        const SVerdictNumberOption* number = nullptr;
        for (const SVerdictNumberOption& opt : kVerdictNumberOptions)
            if (name == opt.name) number = &opt;
        if (number) {
            if (!take() || !ReadNumber(*number, value, out.settings, error)) return false;
        } else if (name == "--categories") {
            if (!take()) return false;
            if (!ReadCategories(value, out.settings.categories)) {
                error = "Ungültiger Wert bei --categories: \"" + value + "\"";
                return false;
            }
        } else if (name == "--stretch-tolerance") {
            if (!take() || !tresnum::ParseDecimal(value, out.stretchTolerance) || out.stretchTolerance < 0) {
                error = "Ungültiger Wert bei --stretch-tolerance: \"" + value + "\"";
                return false;
            }
        } else if (name == "--crs") {
            if (!take()) return false;
            const std::string digits = value.size() > 5 ? value.substr(5) : std::string();
            int code = 0;
            const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), code);
            if (ec != std::errc() || end != digits.data() + digits.size() || code <= 0) {
                error = "Ungültiger Wert bei --crs: \"" + value + "\"";
                return false;
            }
            out.crs = code;
        } else if (name == "--native" || name == "--pipeline") {
            if (!take()) return false;
            (name == "--native" ? out.native : out.pipeline) = value;
        } else if (name == "--no-100mv") {
            out.settings.use100mV = false;
        } else if (name == "--reverse") {
            out.reverse = true;
        } else if (name == "--force-pipeline") {
            out.forcePipeline = true;
        } else {
            error = "Unbekannte Bewertungsoption: " + name;
            return false;
        }
    }
    return true;
}

bool ReadOptionsJson(const std::string& json, std::vector<std::string>& words)
{
    const auto j = nlohmann::json::parse(json, nullptr, false);
    if (!j.is_array()) return false;
    words.clear();
    for (const auto& w : j) {
        if (!w.is_string()) return false;
        words.push_back(w.get<std::string>());
    }
    return true;
}

} // namespace tresexport
