// SPDX-License-Identifier: GPL-3.0-or-later
#include "sortedlist.h"

#include <QLocale>

CSortedList::CSortedList(QAbstractItemModel* source, QObject* parent)
    : QSortFilterProxyModel(parent)
    , m_collator(QLocale(QLocale::German, QLocale::Germany))
{
    setSourceModel(source);
    setSortRole(SortRole);
    // A new verdict keeps the order the user chose.
    setDynamicSortFilter(true);
}

int CSortedList::SourceRow(int row) const
{
    const QModelIndex source = mapToSource(index(row, 0));
    return source.isValid() ? source.row() : -1;
}

bool CSortedList::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const QVariant l = left.data(SortRole), r = right.data(SortRole);
    // Descending, Qt asks with the two swapped: an absent value stays last.
    if (!l.isValid() || !r.isValid())
        return sortOrder() == Qt::AscendingOrder ? !r.isValid() && l.isValid() : !l.isValid() && r.isValid();
    if (l.typeId() == QMetaType::QString || r.typeId() == QMetaType::QString)
        return m_collator.compare(l.toString(), r.toString()) < 0;
    return l.toDouble() < r.toDouble();
}
