// SPDX-License-Identifier: GPL-3.0-or-later
// What the survey document needs from the program around it. The document
// never shows anything itself; the window layer (or a batch tool, or a test)
// implements this and decides how the user sees it. Every hook has a no-op
// default so a host overrides only what it shows.
#pragma once

#include <string>

class CTreDoc;

class CDocHost {
public:
    virtual ~CDocHost() = default;

    // The modified flag changed (title mark, save query on New/Open/exit).
    virtual void ModifiedChanged(bool /*modified*/) { }
    // The document's path changed after a save (title, recent-file list).
    virtual void PathChanged(const std::string& /*path*/) { }
    // Rows or settings changed: every pane redraws from the document.
    virtual void UpdateAllViews() { }
    // A step was added to the undo history, taken back or done again
    // (menu texts of "Rückgängig" and "Wiederherstellen").
    virtual void HistoryChanged() { }
    // Only the two curve panes repaint; the table is left alone.
    virtual void InvalidateCurveViews() { }
    // Reading and saving make the upper curve pane the active view first.
    virtual void ActivateFirstCurvePane() { }

    // Status bar: text of pane 0 (empty clears it) and the progress bar
    // over pane 1 while a file is read or written.
    virtual void StatusText(const std::string& /*text*/) { }
    virtual void ProgressBegin() { }
    virtual void ProgressStep(int /*percent*/) { }
    virtual void ProgressEnd() { }

    // Header bar exchange: its fields go into the document before a save;
    // after a read the document's header fills the fields and the header
    // bar is shown (with its menu entry checked).
    virtual void HeaderBarToDoc(CTreDoc& /*doc*/) { }
    virtual void DocToHeaderBar(const CTreDoc& /*doc*/) { }

    // A message the user must see (German text, already complete).
    virtual void ShowMessage(const std::string& /*text*/) { }
};

// A host that keeps the messages, one per line, for a caller that shows
// them its own way (a refusal in a dialog, a job's result).
class CCollectingHost : public CDocHost {
public:
    void ShowMessage(const std::string& text) override { messages += (messages.empty() ? "" : "\n") + text; }
    std::string messages;
};
