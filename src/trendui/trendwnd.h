// SPDX-License-Identifier: GPL-3.0-or-later
// "Verlauf": what changed across the archived surveys of the current
// survey's pipeline, as the trend report gives it - the surveys compared
// with the warnings and the next survey due, the track table, the changes
// of protection and the fixed points' potentials. A click on a track's cell
// of the current survey asks the window to select that defect's row.
#pragma once

#include "print/trendreport.h"

#include <QLabel>
#include <QTabWidget>
#include <QWidget>

#include <optional>

class CTrendWnd : public QWidget {
    Q_OBJECT
public:
    explicit CTrendWnd(QWidget* parent = nullptr);
    // `current`: the index of the survey shown in the window among
    // `in.surveys`; none when it is not in the archive.
    void SetTrend(STrendReportInput in, std::optional<size_t> current);
    const STrendReportInput& Trend() const { return m_in; }
    QTabWidget* Tabs() const { return m_tabs; }

signals:
    // A defect of the current survey, by its row (1..N).
    void defectChosen(int row);

private:
    STrendReportInput m_in;
    std::optional<size_t> m_current;
    QLabel* m_summary;
    QTabWidget* m_tabs;
};
