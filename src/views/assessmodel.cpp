// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessmodel.h"

#include <cmath>
#include <cstdlib>

namespace {

const char* const kStretchTitles[] = {"Status", "von Zeile", "bis Zeile",          "von m", "bis m",
                                      "Punkte", "Länge m",   "schlechtester Wert", "bei m", "Kommentare"};
// Short titles: the dig list is the widest list of the window.
const char* const kDigTitles[] = {"Prio.",     "Zeile",  "m",      "Lage",       "Seite",  "Grad.-Diff. mV", "IR %",
                                  "Kategorie", "Ein mV", "Aus mV", "IR-frei mV", "Status", "Maßnahme"};
const char* const kWarningTitles[] = {"Art", "von Zeile", "bis Zeile", "von m", "bis m", "Punkte"};

template <size_t N> constexpr int Count(const char* const (&)[N]) { return static_cast<int>(N); }

QString Num(int64_t v) { return QString::number(v); }
QString Utf8(const char* s) { return QString::fromUtf8(s); }
QString Utf8(const std::string& s) { return QString::fromStdString(s); }

} // namespace

CAssessListModel::CAssessListModel(EList list, QObject* parent)
    : QAbstractTableModel(parent)
    , m_list(list)
{ }

void CAssessListModel::SetVerdict(std::shared_ptr<const SVerdict> verdict)
{
    beginResetModel();
    m_verdict = std::move(verdict);
    m_stretches.clear();
    if (m_verdict)
        for (size_t i = 0; i < m_verdict->stretches.size(); ++i)
            if (m_verdict->stretches[i].status != EVerdictStatus::Protected) m_stretches.push_back(i);
    endResetModel();
}

int CAssessListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_verdict) return 0;
    switch (m_list) {
    case EList::Stretches: return static_cast<int>(m_stretches.size());
    case EList::DigList: return static_cast<int>(m_verdict->digList.size());
    case EList::Warnings: return static_cast<int>(m_verdict->warnings.size());
    }
    return 0;
}

int CAssessListModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid()) return 0;
    switch (m_list) {
    case EList::Stretches: return Count(kStretchTitles);
    case EList::DigList: return Count(kDigTitles);
    case EList::Warnings: return Count(kWarningTitles);
    }
    return 0;
}

QVariant CAssessListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= columnCount()) return {};
    const char* const* titles = m_list == EList::Stretches ? kStretchTitles
                                : m_list == EList::DigList ? kDigTitles
                                                           : kWarningTitles;
    return Utf8(titles[section]);
}

QVariant CAssessListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    if (role == Qt::DisplayRole) return Text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole) {
        // Names, places and actions read from the left, numbers line up on the right.
        const int c = index.column();
        const bool text = m_list == EList::DigList ? (c == 3 || c == 4 || c == 7 || c >= 11)
                                                   : (c == 0 || (m_list == EList::Stretches && c == 9));
        return QVariant::fromValue(Qt::Alignment((text ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter));
    }
    return {};
}

QString CAssessListModel::Text(int row, int column) const
{
    const auto r = static_cast<size_t>(row);
    switch (m_list) {
    case EList::Stretches: {
        const SVerdictStretch& s = m_verdict->stretches[m_stretches[r]];
        switch (column) {
        case 0: return Utf8(VerdictStatusName(s.status));
        case 1: return Num(s.firstRow);
        case 2: return Num(s.lastRow);
        case 3: return Num(s.fromMetre);
        case 4: return Num(s.toMetre);
        case 5: return Num(s.rows);
        case 6: return MetresText(s.length);
        case 7: return MilliVoltText(s.worst);
        case 8: return IsPresent(s.worstMetre) ? Num(s.worstMetre) : QString();
        case 9: return Utf8(s.comments);
        }
        break;
    }
    case EList::DigList: {
        const SDigItem& item = m_verdict->digList[r];
        const SCoatingDefect& d = m_verdict->defects[static_cast<size_t>(item.defect)];
        switch (column) {
        case 0: return Num(item.priority);
        case 1: return Num(d.row);
        case 2: return Num(d.metre);
        case 3: return Utf8(d.landmark.text);
        case 4: return Utf8(DefectSideId(d.side));
        case 5: return TenthsText(d.gradDiff);
        case 6: return ShareText(d.irPercentTenths);
        case 7: return d.category > 0 ? Utf8(DefectCategoryName(d.category)) : QString::fromUtf8("–");
        case 8: return MilliVoltText(d.potOn);
        case 9: return MilliVoltText(d.potOff);
        case 10: return MilliVoltText(d.potIRFree);
        case 11: return Utf8(VerdictStatusName(d.status));
        case 12: return Utf8(DigActionName(item.action));
        }
        break;
    }
    case EList::Warnings: {
        const SPlausibilityWarning& w = m_verdict->warnings[r];
        switch (column) {
        case 0: return Utf8(PlausibilityName(w.kind));
        case 1: return Num(w.firstRow);
        case 2: return Num(w.lastRow);
        case 3: return IsPresent(w.fromMetre) ? Num(w.fromMetre) : QString(); // "Meter fehlt" has none
        case 4: return IsPresent(w.toMetre) ? Num(w.toMetre) : QString();
        case 5: return Num(w.rows);
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
    case EList::Stretches: {
        const SVerdictStretch& s = m_verdict->stretches[m_stretches[r]];
        return {s.firstRow, s.lastRow};
    }
    case EList::DigList: {
        const int row = m_verdict->defects[static_cast<size_t>(m_verdict->digList[r].defect)].row;
        return {row, row};
    }
    case EList::Warnings: return {m_verdict->warnings[r].firstRow, m_verdict->warnings[r].lastRow};
    }
    return {0, 0};
}

std::pair<int64_t, int64_t> CAssessListModel::SurveyMetres(int i) const
{
    if (i < 0 || i >= rowCount()) return {NO_VALUE, NO_VALUE};
    const auto r = static_cast<size_t>(i);
    switch (m_list) {
    case EList::Stretches: {
        const SVerdictStretch& s = m_verdict->stretches[m_stretches[r]];
        return {s.fromMetre, s.toMetre};
    }
    case EList::DigList: {
        const int32_t metre = m_verdict->defects[static_cast<size_t>(m_verdict->digList[r].defect)].metre;
        return {metre, metre};
    }
    case EList::Warnings: return {m_verdict->warnings[r].fromMetre, m_verdict->warnings[r].toMetre};
    }
    return {NO_VALUE, NO_VALUE};
}

QString CAssessListModel::MilliVoltText(int64_t mv) { return IsPresent(mv) ? Num(mv) : QString(); }

QString CAssessListModel::TenthsText(int64_t tenths)
{
    if (!IsPresent(tenths)) return {};
    const int64_t a = std::llabs(tenths);
    return (tenths < 0 ? QStringLiteral("-") : QString()) + Num(a / 10) + QLatin1Char(',') + Num(a % 10);
}

QString CAssessListModel::MetresText(double metres)
{
    const int64_t hundredths = std::llround(metres * 100);
    QString text = Num(hundredths / 100);
    if (const int64_t cents = std::llabs(hundredths % 100); cents != 0) {
        text += QLatin1Char(',') + QStringLiteral("%1").arg(cents, 2, 10, QLatin1Char('0'));
        if (text.endsWith(QLatin1Char('0'))) text.chop(1);
    }
    return text;
}

QString CAssessListModel::ShareText(int32_t tenths)
{
    if (!IsPresent(tenths)) return QString::fromUtf8("–");
    return Num(tenths / 10) + QLatin1Char(',') + Num(std::abs(tenths % 10));
}
