// SPDX-License-Identifier: GPL-3.0-or-later
#include "verdictsettings.h"

bool InSettingRange(ESettingRange range, double v)
{
    switch (range) {
    case ESettingRange::Any: return true;
    case ESettingRange::Negative: return v < 0;
    case ESettingRange::NotNegative: return v >= 0;
    case ESettingRange::Positive: return v > 0;
    case ESettingRange::Percent: return v >= 0 && v <= 100;
    }
    return false;
}

bool LimitBelowProtection(int32_t limit, int32_t protection)
{
    return !IsPresent(limit) || !IsPresent(protection) || limit < protection;
}

bool CategoriesAscend(const std::array<double, 3>& bounds) { return bounds[0] < bounds[1] && bounds[1] < bounds[2]; }
