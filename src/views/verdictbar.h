// SPDX-License-Identifier: GPL-3.0-or-later
// The "Bewertung" window's bar: the survey from its first to its last
// metre, every stretch in its status's shade where it lies (not assessed
// hatched grey), unmeasured gaps left blank. It answers "where" at a glance;
// the window's table beside it gives the lengths and shares.
#pragma once

#include "verdictspans.h"

#include <QWidget>

#include <memory>

class CVerdictBar : public QWidget {
    Q_OBJECT
public:
    explicit CVerdictBar(QWidget* parent = nullptr);
    // Shows `verdict` (null: an empty bar).
    void SetVerdict(std::shared_ptr<const SVerdict> verdict);
    const std::vector<SVerdictSpan>& Spans() const { return m_spans; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {40, sizeHint().height()}; }

    // The pixel column of metre `m` in a bar `width` pixels wide over the
    // metres lo..hi (the x the painting uses).
    static int Column(double m, double lo, double hi, int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::shared_ptr<const SVerdict> m_verdict;
    std::vector<SVerdictSpan> m_spans;
    double m_lo = 0, m_hi = 0; // the metres the bar spans
};
