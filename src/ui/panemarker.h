// SPDX-License-Identifier: GPL-3.0-or-later
// The frame that shows which of a window's panes is the active one, the one
// the window's commands (printing, row editing) act on: the pane that has
// the keyboard focus or was clicked last. The frame is drawn over the pane
// by a widget of its own, so no pane paints it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class CPaneMarker : public QObject {
    Q_OBJECT
public:
    // `activated` hears of a pane that became active by the focus or a
    // click (by its index in `panes`), not of one given to Mark().
    CPaneMarker(std::vector<QWidget*> panes, std::function<void(int)> activated, QObject* parent);
    ~CPaneMarker() override;

    // Marks `panes[index]` (no pane for an index outside them).
    void Mark(int index);
    // The pane that carries the frame, or none.
    QWidget* Marked() const;
    // The frame's line width in pixels.
    static constexpr int kWidth = 2;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int IndexOf(const QWidget* w) const;
    void Place();

    std::vector<QPointer<QWidget>> m_panes;
    std::function<void(int)> m_fnActivated;
    QPointer<QWidget> m_pFrame;
    int m_nMarked = -1;
};
