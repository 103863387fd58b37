// SPDX-License-Identifier: GPL-3.0-or-later
#include "spanheader.h"

#include <QPainter>
#include <QStyleOptionHeader>

#include <algorithm>

CSpanHeader::CSpanHeader(QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setHighlightSections(false);
}

void CSpanHeader::SetCoveredWidth(int width)
{
    if (width == m_nCovered) return;
    m_nCovered = width;
    viewport()->update();
}

void CSpanHeader::AddSpan(int first, int last)
{
    if (first < last) m_spans.emplace_back(first, last);
}

std::pair<int, int> CSpanHeader::SpanOf(int logical) const
{
    for (const auto& s : m_spans)
        if (logical >= s.first && logical <= s.second) return s;
    return {logical, logical};
}

void CSpanHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    const auto [first, last] = SpanOf(logicalIndex);
    if (first == last) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    // The covering cell reaches from the first to the last visible column of
    // the span; this column draws the part of it that lies over itself.
    int left = -1;
    int right = -1;
    for (int c = first; c <= last; ++c) {
        if (isSectionHidden(c) || sectionSize(c) <= 0) continue;
        const int x = sectionViewportPosition(c);
        if (left < 0) left = x;
        right = x + sectionSize(c);
    }
    if (left < 0) return;
    const QRect whole(left, rect.top(), right - left, rect.height());

    QStyleOptionHeader opt;
    initStyleOption(&opt);
    opt.rect = whole;
    opt.section = first;
    opt.position = QStyleOptionHeader::Middle;
    painter->save();
    painter->setClipRect(rect);
    style()->drawControl(QStyle::CE_HeaderSection, &opt, painter, this);
    // The word is centred in the part of the cell that shows: scrolled
    // sideways, "Potential" centred on the whole cell would be cut to
    // "ntial" by the metre column lying over its start.
    const QRect shown
        = whole.intersected(QRect(m_nCovered, whole.top(), viewport()->width() - m_nCovered, whole.height()));
    if (!shown.isEmpty()) {
        const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, &opt, this);
        const QString text
            = model() ? model()->headerData(first, orientation(), Qt::DisplayRole).toString() : QString();
        opt.rect = shown;
        opt.text = opt.fontMetrics.elidedText(text, Qt::ElideRight, std::max(0, shown.width() - 2 * margin));
        opt.textAlignment = Qt::AlignCenter;
        style()->drawControl(QStyle::CE_HeaderLabel, &opt, painter, this);
    }
    painter->restore();
}
