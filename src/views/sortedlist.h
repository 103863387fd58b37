// SPDX-License-Identifier: GPL-3.0-or-later
// A list of results sorted by a click on its column header. The source
// model gives each cell's key under SortRole: a number for a numeric column
// (metres, chainages, mV, shares), the text for a text column, nothing for
// an absent value ("–" or empty). Numbers sort by value, texts as German
// dictionaries order them, and absent values come last whichever way the
// column is sorted: they are no value, not the smallest one.
#pragma once

#include <QCollator>
#include <QSortFilterProxyModel>

class CSortedList : public QSortFilterProxyModel {
    Q_OBJECT
public:
    static constexpr int SortRole = Qt::UserRole + 1;

    explicit CSortedList(QAbstractItemModel* source, QObject* parent = nullptr);

    // The source row of the list's row `row`; -1 for none.
    int SourceRow(int row) const;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QCollator m_collator;
};
