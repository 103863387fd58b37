// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewhub.h"

#include <algorithm>

void CTreViewHub::AddView(CTreViewBase* view)
{
    if (view && std::find(m_views.begin(), m_views.end(), view) == m_views.end()) m_views.push_back(view);
}

void CTreViewHub::RemoveView(CTreViewBase* view)
{
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CTreViewHub::InitialUpdateAll()
{
    // A pane may add or remove panes while it updates; work on a copy.
    const auto views = m_views;
    for (CTreViewBase* v : views) v->OnInitialUpdate();
}

void CTreViewHub::UpdateAllViews()
{
    const auto views = m_views;
    for (CTreViewBase* v : views) v->OnUpdate();
}

void CTreViewHub::InvalidateCurveViews()
{
    for (CTreViewBase* v : m_views)
        if (v->IsCurvePane()) v->Invalidate();
}
