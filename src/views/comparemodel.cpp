// SPDX-License-Identifier: GPL-3.0-or-later
#include "comparemodel.h"

#include "sortedlist.h"

namespace {

const char* const kTitles[]
    = {"Kriterium", "von Zeile", "bis Zeile", "von m", "bis m", "Paare", "Länge m", "schlechtester Wert", "bei m"};
constexpr int kColumns = static_cast<int>(std::size(kTitles));

} // namespace

CCompareListModel::CCompareListModel(QObject* parent)
    : QAbstractTableModel(parent)
{ }

void CCompareListModel::SetComparison(std::shared_ptr<const SComparison> comparison)
{
    beginResetModel();
    m_comparison = std::move(comparison);
    endResetModel();
}

int CCompareListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_comparison) return 0;
    return static_cast<int>(m_comparison->indications.size());
}

int CCompareListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant CCompareListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= kColumns) return {};
    return QString::fromUtf8(kTitles[section]);
}

QVariant CCompareListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumns) return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            Qt::Alignment((index.column() == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter));
    const SCompareIndication& i = m_comparison->indications[static_cast<size_t>(index.row())];
    if (role == CSortedList::SortRole) {
        if (index.column() == 0) return QString::fromUtf8(CompareCriterionName(i.criterion));
        if (index.column() == 7 && i.worst == kNoDelta) return {};
        if (index.column() == 8 && !IsPresent(i.worstMetre)) return {};
        return data(index, Qt::DisplayRole).toDouble();
    }
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
    case 0: return QString::fromUtf8(CompareCriterionName(i.criterion));
    case 1: return i.firstRow;
    case 2: return i.lastRow;
    case 3: return i.fromMetre;
    case 4: return i.toMetre;
    case 5: return i.rows;
    case 6: return QString::number(i.length);
    case 7: return DeltaText(i.worst);
    case 8: return i.worstMetre;
    }
    return {};
}

std::pair<int, int> CCompareListModel::SurveyRows(int i) const
{
    if (i < 0 || i >= rowCount()) return {0, 0};
    const SCompareIndication& x = m_comparison->indications[static_cast<size_t>(i)];
    return {x.firstRow, x.lastRow};
}

std::pair<int64_t, int64_t> CCompareListModel::SurveyMetres(int i) const
{
    if (i < 0 || i >= rowCount()) return {0, 0};
    const SCompareIndication& x = m_comparison->indications[static_cast<size_t>(i)];
    return {x.fromMetre, x.toMetre};
}

QString CCompareListModel::DeltaText(int64_t mv) { return mv == kNoDelta ? QString() : QString::number(mv); }
