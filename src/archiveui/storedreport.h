// SPDX-License-Identifier: GPL-3.0-or-later
// The assessment report of a survey kept in the archive, as it was judged
// when it was stored: its bytes read again, tied to the pipeline data's
// revision it was assessed with, under the option words kept beside it,
// through the program's report.
#pragma once

#include "archive/store.h"

#include <QString>

// Writes the PDF to `path`; false with the German reason in `error`.
// `note` says what the report could not take as it was (a native survey
// no longer found where it was).
bool WriteStoredReport(const tresarchive::SStoredSurvey& survey, const QString& path, QString& error, QString& note);
