// SPDX-License-Identifier: GPL-3.0-or-later
// A survey dragged onto the main window from a file manager.
#pragma once

#include <QString>

class QMimeData;

// The first local file with the survey ending (.tsd in any case) among the
// dragged ones; empty when there is none. Only one survey is open at a
// time, so more than one dragged survey opens the first.
QString DroppedSurvey(const QMimeData* data);
