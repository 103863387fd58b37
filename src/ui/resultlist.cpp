// SPDX-License-Identifier: GPL-3.0-or-later
#include "resultlist.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>

void SetUpResultList(QTableView* view)
{
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->horizontalHeader()->setStretchLastSection(false);
}

int ResultListWidth(const QTableView* view)
{
    int width = 2 * view->frameWidth() + view->horizontalHeader()->length();
    if (view->verticalHeader()->isVisible()) width += view->verticalHeader()->width();
    // The vertical bar appears with the rows; counted always, a list does
    // not get a horizontal one when it does.
    width += view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view->verticalScrollBar());
    return width;
}
