// SPDX-License-Identifier: GPL-3.0-or-later
// The document's panes and how a document change reaches them. The document
// knows only its host (CDocHost); this host keeps the panes in creation
// order and forwards "update all views" and "invalidate the curve panes".
// The main window derives from it (or forwards to it) and adds the status
// bar, message boxes and header bar on top.
#pragma once

#include "doc/dochost.h"

#include <vector>

class CTreDoc;

// What every pane of the document answers to.
class CTreViewBase {
public:
    virtual ~CTreViewBase() = default;
    // The document was created or read: set up from scratch.
    virtual void OnInitialUpdate() = 0;
    // Something in the document changed: show it again.
    virtual void OnUpdate() = 0;
    // Curve panes repaint on InvalidateCurveViews, the table does not.
    virtual bool IsCurvePane() const { return false; }
    // Repaint without erasing.
    virtual void Invalidate() = 0;
};

class CTreViewHub : public CDocHost {
public:
    // Panes are listed in the order they were added; a pane removes itself
    // before it goes away.
    void AddView(CTreViewBase* view);
    void RemoveView(CTreViewBase* view);
    const std::vector<CTreViewBase*>& Views() const { return m_views; }

    // Initial update of every pane in creation order, as after New and Open.
    // The curve panes take their kind from the document's view counter here,
    // so the first curve pane added becomes the gradient pane.
    void InitialUpdateAll();

    void UpdateAllViews() override;
    void InvalidateCurveViews() override;

private:
    std::vector<CTreViewBase*> m_views;
};
