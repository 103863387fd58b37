// SPDX-License-Identifier: GPL-3.0-or-later
// The pages of the "Verlauf" window, each showing one part of the trend as
// the trend report prints it: the tracks with a column per survey, the
// changes of protection per pair, and a fixed point's potential over the
// years.
#pragma once

#include "print/trendreport.h"

#include <QComboBox>
#include <QTableWidget>
#include <QWidget>

// One line per track; a column per survey (state, category, position) in
// the report's colours; the dig findings last. A cell's row role holds the
// survey row of its defect (0 where the track has none there).
QTableWidget* NewTrackTable(const STrendReportInput& in, QWidget* parent);
inline constexpr int kTrackRowRole = Qt::UserRole + 1;
inline constexpr int kTrackSurveyRole = Qt::UserRole + 2;

// Per pair of consecutive surveys: what was compared, the metres newly
// unprotected and protected again, with their intervals.
QTableWidget* NewChangesTable(const STrendReportInput& in, QWidget* parent);

// The chosen fixed point's E* over the survey dates, drawn as the report
// draws it.
class CFixpointChart : public QWidget {
    Q_OBJECT
public:
    CFixpointChart(const STrendReportInput* in, QWidget* parent);
    void SetFixpoint(int index);
    QSize sizeHint() const override { return {480, 320}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const STrendReportInput* m_in;
    int m_index = 0;
};
