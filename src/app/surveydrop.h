// SPDX-License-Identifier: GPL-3.0-or-later
// A survey dragged onto the main window from a file manager.
#pragma once

#include <QString>

class QMimeData;

// The first local file among the dragged ones that a survey reader knows
// (by its content or its name, as opening it would decide); empty when
// there is none. Only one survey is open at a
// time, so more than one dragged survey opens the first.
QString DroppedSurvey(const QMimeData* data);
