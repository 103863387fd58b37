// SPDX-License-Identifier: GPL-3.0-or-later
// The value axis of a curve pane while the verdict is laid over the curves:
// fitted to the survey, so its curves fill the plot rather than a thin band
// of the design's two volts.
#include "curvepane.h"

void CTrePrintView::FitValueAxisToOverlay()
{
    const std::optional<valueaxis::SAxis>* axis = nullptr;
    if (m_pOverlay) axis = IsGradientPane() ? &m_pOverlay->gradientAxis : &m_pOverlay->potentialAxis;
    if (!axis || !*axis || m_nKind == 0) {
        if (m_unfitted) {
            m_nTopAtZero = m_unfitted->top;
            m_nVPos = m_unfitted->pos;
            m_nVPage = m_unfitted->page;
            m_value = m_unfitted->step;
            m_unfitted.reset();
            SyncVScrollBar();
        }
        m_fittedAxis.reset();
        return;
    }
    // The same fit again (the verdict is worked out anew on every change)
    // keeps what the user has zoomed and scrolled since.
    if (m_fittedAxis == **axis) return;
    if (!m_unfitted) m_unfitted = SValueState{m_nTopAtZero, m_nVPos, m_nVPage, m_value};
    m_fittedAxis = **axis;
    const valueaxis::SAxis& a = **axis;
    // The potential pane counts negated millivolts from its top.
    const int64_t top = IsGradientPane() ? a.high : -a.low;
    const int32_t span = static_cast<int32_t>(a.high - a.low);
    const int32_t step = static_cast<int32_t>(a.step);
    m_value = CZoomStep{span, std::max(1, step / 5), step, step};
    m_nVPage = span + 1;
    m_nVPos = ClampV(static_cast<int>(m_nTopAtZero - top));
    SyncVScrollBar();
}
