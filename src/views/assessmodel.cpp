// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessmodel.h"

#include <cstdlib>

namespace {

const char* const kIndicationTitles[]
    = {"Kriterium", "von Zeile", "bis Zeile", "von m", "bis m", "Zeilen", "Länge m", "schlechtester Wert", "bei m"};
const char* const kDefectTitles[]
    = {"Zeile",         "Meter",         "Gradientendifferenz", "Gradient Ein",       "Gradient Aus",
       "Potential Ein", "Potential Aus", "Potential IR-frei",   "Orientierungspunkt", "Abstand m"};
const char* const kWarningTitles[] = {"Art", "von Zeile", "bis Zeile", "von m", "bis m"};

template <size_t N> constexpr int Count(const char* const (&)[N]) { return static_cast<int>(N); }

QString Num(int64_t v) { return QString::number(v); }

} // namespace

CAssessListModel::CAssessListModel(EList list, QObject* parent)
    : QAbstractTableModel(parent)
    , m_list(list)
{ }

void CAssessListModel::SetAssessment(std::shared_ptr<const SAssessment> assessment)
{
    beginResetModel();
    m_assessment = std::move(assessment);
    endResetModel();
}

int CAssessListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_assessment) return 0;
    switch (m_list) {
    case EList::Indications: return static_cast<int>(m_assessment->indications.size());
    case EList::Defects: return static_cast<int>(m_assessment->defects.size());
    case EList::Warnings: return static_cast<int>(m_assessment->warnings.size());
    }
    return 0;
}

int CAssessListModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid()) return 0;
    switch (m_list) {
    case EList::Indications: return Count(kIndicationTitles);
    case EList::Defects: return Count(kDefectTitles);
    case EList::Warnings: return Count(kWarningTitles);
    }
    return 0;
}

QVariant CAssessListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= columnCount()) return {};
    const char* const* titles = m_list == EList::Indications ? kIndicationTitles
                                : m_list == EList::Defects   ? kDefectTitles
                                                             : kWarningTitles;
    return QString::fromUtf8(titles[section]);
}

QVariant CAssessListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    if (role == Qt::DisplayRole) return Text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole) {
        // Names and landmarks read from the left, numbers line up on the right.
        const bool text
            = (m_list != EList::Defects && index.column() == 0) || (m_list == EList::Defects && index.column() == 8);
        return QVariant::fromValue(Qt::Alignment((text ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter));
    }
    return {};
}

QString CAssessListModel::Text(int row, int column) const
{
    const auto r = static_cast<size_t>(row);
    switch (m_list) {
    case EList::Indications: {
        const SIndication& i = m_assessment->indications[r];
        switch (column) {
        case 0: return QString::fromUtf8(CriterionName(i.criterion));
        case 1: return Num(i.firstRow);
        case 2: return Num(i.lastRow);
        case 3: return Num(i.fromMetre);
        case 4: return Num(i.toMetre);
        case 5: return Num(i.rows);
        case 6: return Num(i.length);
        case 7: return i.criterion == ECriterion::GradDiff ? TenthsText(i.worst) : MilliVoltText(i.worst);
        case 8: return Num(i.worstMetre);
        }
        break;
    }
    case EList::Defects: {
        const SDefect& d = m_assessment->defects[r];
        switch (column) {
        case 0: return Num(d.row);
        case 1: return Num(d.metre);
        case 2: return TenthsText(d.gradDiff);
        case 3: return TenthsText(d.gradOn);
        case 4: return TenthsText(d.gradOff);
        case 5: return MilliVoltText(d.potOn);
        case 6: return MilliVoltText(d.potOff);
        case 7: return MilliVoltText(d.potIRFree);
        case 8: return d.landmark.found ? QString::fromStdString(d.landmark.comment) : QString();
        case 9: return d.landmark.found ? Num(d.landmark.distance) : QString();
        }
        break;
    }
    case EList::Warnings: {
        const SWarning& w = m_assessment->warnings[r];
        switch (column) {
        case 0: return QString::fromUtf8(WarningName(w.kind));
        case 1: return Num(w.firstRow);
        case 2: return Num(w.lastRow);
        case 3: return Num(w.fromMetre);
        case 4: return Num(w.toMetre);
        }
        break;
    }
    }
    return {};
}

std::pair<int, int> CAssessListModel::SurveyRows(int i) const
{
    if (i < 0 || i >= rowCount()) return {0, 0};
    const auto r = static_cast<size_t>(i);
    switch (m_list) {
    case EList::Indications: return {m_assessment->indications[r].firstRow, m_assessment->indications[r].lastRow};
    case EList::Defects: return {m_assessment->defects[r].row, m_assessment->defects[r].row};
    case EList::Warnings: return {m_assessment->warnings[r].firstRow, m_assessment->warnings[r].lastRow};
    }
    return {0, 0};
}

std::pair<int64_t, int64_t> CAssessListModel::SurveyMetres(int i) const
{
    if (i < 0 || i >= rowCount()) return {0, 0};
    const auto r = static_cast<size_t>(i);
    switch (m_list) {
    case EList::Indications: return {m_assessment->indications[r].fromMetre, m_assessment->indications[r].toMetre};
    case EList::Defects: return {m_assessment->defects[r].metre, m_assessment->defects[r].metre};
    case EList::Warnings: return {m_assessment->warnings[r].fromMetre, m_assessment->warnings[r].toMetre};
    }
    return {0, 0};
}

QString CAssessListModel::MilliVoltText(int32_t mv) { return IsPresent(mv) ? Num(mv) : QString(); }

QString CAssessListModel::TenthsText(int32_t tenths)
{
    if (!IsPresent(tenths)) return {};
    const int64_t a = std::llabs(int64_t{tenths});
    return (tenths < 0 ? QStringLiteral("-") : QString()) + Num(a / 10) + QLatin1Char(',') + Num(a % 10);
}
