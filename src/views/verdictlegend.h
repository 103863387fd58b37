// SPDX-License-Identifier: GPL-3.0-or-later
// The legend strip under the potential pane while "Bewertung in Kurven" is
// on: a swatch and the name of each status, the defect triangle with its
// category labels, the criterion's and the limiting potential's lines, and
// the curves - on and off, their difference, the comparison survey's - in
// the palette's colours and with the verdict's own names.
#pragma once

#include <QScrollArea>
#include <QWidget>

#include <vector>

class CVerdictLegend : public QWidget {
    Q_OBJECT
public:
    explicit CVerdictLegend(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }
    // The entries wrap into as many lines as `width` needs.
    int heightForWidth(int width) const override;

    // The comparison survey the potential pane draws, which the legend names.
    enum class EComparison { None, Earlier, Native };
    void SetComparison(EComparison c);

    // The entries' texts in their order, for looking at: the statuses, the
    // defects and the criterion lines, then the curves.
    static QStringList Entries(EComparison c = EComparison::None);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The top-left corner of each entry in a strip `width` pixels wide.
    std::vector<QPoint> Layout(int width) const;
    EComparison m_comparison = EComparison::None;
};

// The legend where a narrow pane would need many lines for it: at most a
// quarter of the height around it (at least two lines), the rest scrolled,
// so the potential pane above keeps the room to be read.
class CVerdictLegendArea : public QScrollArea {
    Q_OBJECT
public:
    CVerdictLegendArea(CVerdictLegend* legend, QWidget* parent);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CVerdictLegend* m_pLegend;
};
