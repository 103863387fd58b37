// SPDX-License-Identifier: GPL-3.0-or-later
// Cell editing for the table: the typed text goes to the document only when
// the user changed it. Leaving a cell untouched must not store its shown
// text back, because the shown text is rounded (-0.855 V shows as -0.86)
// and an absent value shows as blanks that would store 0.
#pragma once

#include <QStyledItemDelegate>

class CCellEditDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Cells are narrow (35 pixels for "-1.18"): text is drawn with a
    // one-pixel margin and cut at the cell edge instead of being elided.
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

    // Whether the model refused the text of the last commit: the cell then
    // stays the current one, for the text to be typed again.
    bool LastRefused() const { return m_bRefused; }

private:
    mutable bool m_bRefused = false;
};
