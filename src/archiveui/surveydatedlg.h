// SPDX-License-Identifier: GPL-3.0-or-later
// The survey date when header entry 1 gives none the archive can read: the
// archive sorts a pipeline's surveys by it, so it is asked for rather than
// guessed.
#pragma once

#include <QString>

#include <string>

class QWidget;

// False when the user cancelled; else `iso` holds "YYYY-MM-DD".
bool AskSurveyDate(QWidget* parent, const QString& headerEntry, std::string& iso);
