// SPDX-License-Identifier: GPL-3.0-or-later
// What a double click on a row of the "Bewertung" window's lists does, the
// same on its verdict lists and on its comparison page.
#pragma once

#include "views/sortedlist.h"

#include <QTableView>

#include <algorithm>

// A double click on a list row shows the stretch it stands for. A
// comparison's pairs run in metre order, which in a survey walked
// downstream is the rows' reverse order. `Window` is the "Bewertung"
// window (its StretchChosen signal), which includes this, not the reverse.
// The view shows `model` through `sorted`, so its rows are mapped back.
template <typename Window, typename Model>
inline void ConnectStretch(Window* w, QTableView* view, const CSortedList* sorted, const Model* model)
{
    QObject::connect(view, &QAbstractItemView::doubleClicked, w, [w, sorted, model](const QModelIndex& index) {
        const int row = sorted->SourceRow(index.row());
        const auto [first, last] = model->SurveyRows(row);
        if (first < 1) return;
        const auto [from, to] = model->SurveyMetres(row);
        emit w->StretchChosen(std::min(first, last), std::max(first, last), from, to);
    });
}

const char kDoubleClickTip[] = "Doppelklick: die Zeilen in der Tabelle markieren und die Kurven auf die Stelle stellen";
