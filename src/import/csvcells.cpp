// SPDX-License-Identifier: GPL-3.0-or-later
#include "csvcells.h"

#include "doc/numtext.h"

#include <cctype>
#include <cmath>
#include <string>

namespace tresimport {

namespace {

constexpr double kFoot = 0.3048;

// Digits behind the plus, up to a decimal mark.
size_t DigitsAfterPlus(std::string_view cell)
{
    const size_t plus = cell.find('+', 1);
    if (plus == std::string_view::npos) return 0;
    size_t n = 0;
    for (size_t i = plus + 1; i < cell.size() && std::isdigit(static_cast<unsigned char>(cell[i])); ++i) ++n;
    return n;
}

} // namespace

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::optional<double> CellNumber(std::string_view cell, char decimal)
{
    cell = Trimmed(cell);
    const char other = decimal == ',' ? '.' : ',';
    if (cell.empty() || cell.find(other) != std::string_view::npos) return std::nullopt;
    double v = 0;
    if (!tresnum::ParseDecimal(cell, v) || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<double> CellStation(std::string_view cell, EStationNotation notation, char decimal)
{
    cell = Trimmed(cell);
    if (notation == EStationNotation::KmPlusM || notation == EStationNotation::FtPlusFt) {
        const size_t plus = cell.find('+', 1);
        if (plus == std::string_view::npos) return std::nullopt;
        const std::string_view whole = cell.substr(0, plus);
        for (char c : whole)
            if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        const auto rest = CellNumber(cell.substr(plus + 1), decimal);
        if (whole.empty() || !rest || *rest < 0 || cell[plus + 1] == '-') return std::nullopt;
        const double units = std::stod(std::string(whole));
        if (notation == EStationNotation::KmPlusM) return units * 1000.0 + *rest;
        return (units * 100.0 + *rest) * kFoot;
    }
    const auto v = CellNumber(cell, decimal);
    if (!v) return std::nullopt;
    return notation == EStationNotation::Feet ? *v * kFoot : *v;
}

EStationNotation GuessStationNotation(std::string_view cell)
{
    cell = Trimmed(cell);
    const size_t digits = DigitsAfterPlus(cell);
    if (digits == 3) return EStationNotation::KmPlusM;
    if (digits == 2) return EStationNotation::FtPlusFt;
    return EStationNotation::Metre;
}

bool CellFlag(std::string_view cell)
{
    std::string s;
    for (char c : Trimmed(cell)) s += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s == "1" || s == "ja" || s == "j" || s == "yes" || s == "y" || s == "true" || s == "x" || s == "wahr";
}

} // namespace tresimport
