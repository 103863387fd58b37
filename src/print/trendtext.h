// SPDX-License-Identifier: GPL-3.0-or-later
// How the trend report writes what the trend holds: dates, positions and a
// track's state in a survey, and the colour that state is printed in.
#pragma once

#include "trend/trend.h"

#include <QColor>
#include <QString>

#include <string>

// "2025-04-17" as "17.04.2025"; text that is no such date as it is.
QString TrendDate(const std::string& iso);
// Metres with a decimal comma, whole metres without decimals.
QString TrendMetres(double m);
// The state, and for a track's defect its category and position:
// "verschärft, II, 1234,5 m".
QString TrackCell(const trestrend::STrackState& st);
// The warning colour for what calls for attention (new, worse, back after
// a repair), muted for what is no longer shown; invalid: black.
QColor TrackStateColour(trestrend::ETrackState s);
