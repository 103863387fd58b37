// SPDX-License-Identifier: GPL-3.0-or-later
// Long archive work off the GUI thread: adding a long survey or reading a
// remote archive keeps the window drawn and can be cancelled. The work runs
// on one worker thread while a modal progress dialog with "Abbrechen" waits
// for it; the caller's archive connection is thus used by one thread at a
// time. A cancel is asked of the work through its ProgressFn, and the store
// rolls back what it had begun.
#pragma once

#include "archive/store.h"

#include <QString>

#include <functional>

class QWidget;

struct SArchiveJobResult {
    bool ok = false;        // the work ran to its end
    bool cancelled = false; // the user stopped it and it was rolled back
    QString error;          // German, when neither
};

// The dialog shows after `showAfterMs` (a short read does not flash it up);
// 0 shows it before the work starts, so a cancel at once reaches its first
// step.
SArchiveJobResult RunArchiveJob(QWidget* parent, const QString& label,
                                const std::function<void(const tresarchive::ProgressFn& progress)>& work,
                                int showAfterMs = 400);
