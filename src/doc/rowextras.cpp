// SPDX-License-Identifier: GPL-3.0-or-later
#include "rowextras.h"

#include <algorithm>

std::string ExtrasLossText(const CSurveyExtras& extras)
{
    const auto comments
        = std::count_if(extras.rows.begin(), extras.rows.end(), [](const CRowExtra& e) { return !e.comment.empty(); });
    const auto stations = std::count_if(extras.rows.begin(), extras.rows.end(),
                                        [](const CRowExtra& e) { return std::isfinite(e.chainage); });
    const bool positions
        = std::any_of(extras.rows.begin(), extras.rows.end(), [](const CRowExtra& e) { return e.HasPosition(); });
    std::string text;
    auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    if (comments) add(std::to_string(comments) + (comments == 1 ? " Kommentar" : " Kommentare") + " gekürzt");
    if (stations)
        add(std::to_string(stations) + (stations == 1 ? " Station" : " Stationen") + " auf ganze Meter gerundet");
    if (positions) add("GPS-Positionen nicht gespeichert");
    return text;
}
