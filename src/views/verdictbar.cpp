// SPDX-License-Identifier: GPL-3.0-or-later
#include "verdictbar.h"

#include "verdictpaint.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kBarHeight = 14;
} // namespace

CVerdictBar::CVerdictBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("verdictBar"));
}

void CVerdictBar::SetVerdict(std::shared_ptr<const SVerdict> verdict)
{
    m_verdict = std::move(verdict);
    m_spans = m_verdict ? VerdictSpans(*m_verdict) : std::vector<SVerdictSpan>();
    m_lo = m_hi = 0;
    if (!m_spans.empty()) {
        m_lo = m_spans.front().from;
        m_hi = m_spans.front().to;
        for (const SVerdictSpan& s : m_spans) {
            m_lo = std::min(m_lo, s.from);
            m_hi = std::max(m_hi, s.to);
        }
    }
    update();
}

QSize CVerdictBar::sizeHint() const { return {300, kBarHeight + fontMetrics().height() + 2}; }

int CVerdictBar::Column(double m, double lo, double hi, int width)
{
    if (!(hi > lo) || width <= 0) return 0;
    return static_cast<int>(std::floor((m - lo) / (hi - lo) * width));
}

void CVerdictBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int w = width() - 1;
    const QRect frame(0, 0, w, kBarHeight);
    p.fillRect(frame, palette().color(QPalette::Base));
    // What is proven first, the findings over it, so a single failing point
    // never hides under its neighbours' shade.
    for (const bool findings : {false, true}) {
        for (const SVerdictSpan& s : m_spans) {
            const bool finding = s.status != EVerdictStatus::Protected && s.status != EVerdictStatus::Protected100;
            if (finding != findings) continue;
            const int x1 = 1 + Column(s.from, m_lo, m_hi, w - 1);
            const int x2 = std::max(x1 + 1, 1 + Column(s.to, m_lo, m_hi, w - 1));
            PaintVerdictShade(p, QRect(x1, 1, x2 - x1, kBarHeight - 1), s.status, 255);
        }
    }
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(frame);
    if (m_spans.empty()) return;
    // The ends in recorded metres, in the order the survey was walked.
    p.setPen(palette().color(QPalette::Text));
    const QFontMetrics fm = fontMetrics();
    const bool forward = m_verdict->rows.empty() || m_verdict->rows.back().metre >= m_verdict->rows.front().metre;
    const QString first = QStringLiteral("%1 m").arg(m_verdict->rows.front().metre);
    const QString last = QStringLiteral("%1 m").arg(m_verdict->rows.back().metre);
    const int y = kBarHeight + 1 + fm.ascent();
    p.drawText(0, y, forward ? first : last);
    const QString right = forward ? last : first;
    p.drawText(width() - fm.horizontalAdvance(right), y, right);
}
