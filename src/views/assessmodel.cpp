// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessmodel.h"

#include "pipeline/numbers.h"
#include "pipeline/surveybinding.h"
#include "sortedlist.h"

#include <QLocale>

#include <cmath>
#include <cstdlib>
#include <iterator>
#include <span>

namespace {

using EColumn = CAssessListModel::EColumn;

struct SColumn {
    EColumn id;
    const char* title;
    bool text;     // read from the left; numbers line up on the right
    bool pipeline; // only with pipeline data
};

// Where a stretch or a warning lies; both lists show it after their first
// column.
const SColumn kSpanColumns[] = {
    {EColumn::FirstRow, "von Zeile", false, false},
    {EColumn::LastRow, "bis Zeile", false, false},
    {EColumn::FromMetre, "von m", false, false},
    {EColumn::ToMetre, "bis m", false, false},
    {EColumn::FromChainage, "von Station m", false, true},
    {EColumn::ToChainage, "bis Station m", false, true},
    {EColumn::Points, "Punkte", false, false},
};
// The stretches' columns after their span.
const SColumn kStretchColumns[] = {
    {EColumn::Length, "Länge m", false, false},
    {EColumn::Worst, "schlechtester Wert", false, false},
    {EColumn::WorstMetre, "bei m", false, false},
    {EColumn::Comments, "Kommentare", true, false},
};
// Short titles: the dig list is the widest list of the window.
const SColumn kDigColumns[] = {
    {EColumn::Priority, "Prio.", false, false},
    {EColumn::Row, "Zeile", false, false},
    {EColumn::Metre, "m", false, false},
    {EColumn::Chainage, "Station m", false, true},
    {EColumn::Latitude, "Breite °", false, true},
    {EColumn::Longitude, "Länge °", false, true},
    {EColumn::Landmark, "Lage", true, false},
    {EColumn::Side, "Seite", true, false},
    {EColumn::GradDiff, "Grad.-Diff. mV", false, false},
    {EColumn::IRPercent, "IR %", false, false},
    {EColumn::Category, "Kategorie", true, false},
    {EColumn::PotOn, "Ein mV", false, false},
    {EColumn::PotOff, "Aus mV", false, false},
    {EColumn::PotIRFree, "IR-frei mV", false, false},
    {EColumn::Status, "Status", true, false},
    {EColumn::Action, "Maßnahme", true, false},
};

template <size_t N> std::vector<SColumn> List(const SColumn (&columns)[N]) { return {columns, columns + N}; }

// `first`, the span columns, then `rest`.
std::vector<SColumn> SpanList(const SColumn& first, std::span<const SColumn> rest = {})
{
    std::vector<SColumn> list{first};
    list.insert(list.end(), std::begin(kSpanColumns), std::end(kSpanColumns));
    list.insert(list.end(), rest.begin(), rest.end());
    return list;
}

const std::vector<SColumn>& Columns(CAssessListModel::EList list)
{
    using EList = CAssessListModel::EList;
    static const std::vector<SColumn> stretches = SpanList({EColumn::Status, "Status", true, false}, kStretchColumns),
                                      dig = List(kDigColumns), warnings = SpanList({EColumn::Kind, "Art", true, false});
    return list == EList::Stretches ? stretches : list == EList::DigList ? dig : warnings;
}

const SColumn& Column(CAssessListModel::EList list, EColumn id)
{
    for (const SColumn& c : Columns(list))
        if (c.id == id) return c;
    return Columns(list).front();
}

QString Num(int64_t v) { return QString::number(v); }
QString Utf8(const char* s) { return QString::fromUtf8(s); }
QString Utf8(const std::string& s) { return QString::fromStdString(s); }

// Degrees with the 7 decimals and the rounding the exports give, and a
// decimal comma.
QString DegreesText(double v) { return Utf8(tresnum::GermanFixed(v, trespipeline::kLatLonDecimals)); }

} // namespace

CAssessListModel::CAssessListModel(EList list, QObject* parent)
    : QAbstractTableModel(parent)
    , m_list(list)
{
    for (const SColumn& c : Columns(m_list))
        if (!c.pipeline) m_columns.push_back(c.id);
}

void CAssessListModel::SetVerdict(std::shared_ptr<const SVerdict> verdict,
                                  std::shared_ptr<const trespipeline::SSurveyBinding> binding)
{
    beginResetModel();
    m_verdict = std::move(verdict);
    m_binding = m_verdict ? std::move(binding) : nullptr;
    m_stretches.clear();
    if (m_verdict)
        for (size_t i = 0; i < m_verdict->stretches.size(); ++i)
            if (m_verdict->stretches[i].status != EVerdictStatus::Protected) m_stretches.push_back(i);
    m_columns.clear();
    for (const SColumn& c : Columns(m_list))
        if (!c.pipeline || m_binding) m_columns.push_back(c.id);
    endResetModel();
}

int CAssessListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_verdict) return 0;
    switch (m_list) {
    case EList::Stretches: return static_cast<int>(m_stretches.size());
    case EList::DigList: return static_cast<int>(m_verdict->digList.size());
    case EList::Warnings: return static_cast<int>(m_verdict->warnings.size() + m_verdict->fileNotes.size());
    }
    return 0;
}

int CAssessListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant CAssessListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= columnCount()) return {};
    return Utf8(Column(m_list, m_columns[static_cast<size_t>(section)]).title);
}

QVariant CAssessListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const EColumn column = m_columns[static_cast<size_t>(index.column())];
    if (role == Qt::DisplayRole) return Text(index.row(), column);
    if (role == CSortedList::SortRole) {
        // The value as shown, so the order is the one the user reads.
        const QString text = Text(index.row(), column);
        if (text.isEmpty() || text == Utf8(std::string(tresnum::kAbsentText))) return {};
        if (Column(m_list, column).text) return text;
        bool ok = false;
        const double v = QLocale(QLocale::German, QLocale::Germany).toDouble(text, &ok);
        return ok ? QVariant(v) : QVariant();
    }
    if (role == Qt::TextAlignmentRole) {
        // Names, places and actions read from the left, numbers line up on the right.
        const bool text = Column(m_list, column).text;
        return QVariant::fromValue(Qt::Alignment((text ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter));
    }
    return {};
}

QString CAssessListModel::ChainageText(int row) const
{
    if (!m_binding || row < 1 || static_cast<size_t>(row) > m_binding->chainage.size()) return {};
    const double s = m_binding->chainage[static_cast<size_t>(row - 1)];
    return trespipeline::HasChainage(s) ? MetresText(s) : QString();
}

QString CAssessListModel::Text(int row, EColumn column) const
{
    const auto r = static_cast<size_t>(row);
    switch (m_list) {
    case EList::Stretches: {
        const SVerdictStretch& s = m_verdict->stretches[m_stretches[r]];
        switch (column) {
        case EColumn::Status: return Utf8(VerdictStatusName(s.status));
        case EColumn::FirstRow: return Num(s.firstRow);
        case EColumn::LastRow: return Num(s.lastRow);
        case EColumn::FromMetre: return Num(s.fromMetre);
        case EColumn::ToMetre: return Num(s.toMetre);
        case EColumn::FromChainage: return ChainageText(s.firstRow);
        case EColumn::ToChainage: return ChainageText(s.lastRow);
        case EColumn::Points: return Num(s.rows);
        case EColumn::Length: return MetresText(s.length);
        case EColumn::Worst: return MilliVoltText(s.worst);
        case EColumn::WorstMetre: return IsPresent(s.worstMetre) ? Num(s.worstMetre) : QString();
        case EColumn::Comments: return Utf8(s.comments);
        default: break;
        }
        break;
    }
    case EList::DigList: {
        const SDigItem& item = m_verdict->digList[r];
        const SCoatingDefect& d = m_verdict->defects[static_cast<size_t>(item.defect)];
        const std::optional<trespipeline::SPlace>* place = nullptr;
        if (m_binding && d.row >= 1 && static_cast<size_t>(d.row) <= m_binding->places.size())
            place = &m_binding->places[static_cast<size_t>(d.row - 1)];
        switch (column) {
        case EColumn::Priority: return Num(item.priority);
        case EColumn::Row: return Num(d.row);
        case EColumn::Metre: return Num(d.metre);
        case EColumn::Chainage: return ChainageText(d.row);
        case EColumn::Latitude: return place && *place ? DegreesText((*place)->lat) : QString();
        case EColumn::Longitude: return place && *place ? DegreesText((*place)->lon) : QString();
        case EColumn::Landmark: return Utf8(d.landmark.text);
        case EColumn::Side: return Utf8(DefectSideId(d.side));
        case EColumn::GradDiff: return TenthsText(d.gradDiff);
        case EColumn::IRPercent: return ShareText(d.irPercentTenths);
        case EColumn::Category:
            return d.category > 0 ? Utf8(DefectCategoryName(d.category)) : Utf8(std::string(tresnum::kAbsentText));
        case EColumn::PotOn: return MilliVoltText(d.potOn);
        case EColumn::PotOff: return MilliVoltText(d.potOff);
        case EColumn::PotIRFree: return MilliVoltText(d.potIRFree);
        case EColumn::Status: return Utf8(DefectStatusText(d));
        case EColumn::Action: return Utf8(DigActionName(item.action));
        default: break;
        }
        break;
    }
    case EList::Warnings: {
        // After the warnings on readings, what the reader said about the file.
        if (r >= m_verdict->warnings.size())
            return column == EColumn::Kind ? Utf8(m_verdict->fileNotes[r - m_verdict->warnings.size()]) : QString();
        const SPlausibilityWarning& w = m_verdict->warnings[r];
        const bool metres = w.kind != EPlausibility::MetreMissing; // "Meter fehlt" has none
        switch (column) {
        case EColumn::Kind: return Utf8(PlausibilityLabel(w));
        case EColumn::FirstRow: return Num(w.firstRow);
        case EColumn::LastRow: return Num(w.lastRow);
        case EColumn::FromMetre: return IsPresent(w.fromMetre) ? Num(w.fromMetre) : QString();
        case EColumn::ToMetre: return IsPresent(w.toMetre) ? Num(w.toMetre) : QString();
        case EColumn::FromChainage: return metres ? ChainageText(w.firstRow) : QString();
        case EColumn::ToChainage: return metres ? ChainageText(w.lastRow) : QString();
        case EColumn::Points: return Num(w.rows);
        default: break;
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
    case EList::Warnings:
        if (r >= m_verdict->warnings.size()) return {0, 0};
        return {m_verdict->warnings[r].firstRow, m_verdict->warnings[r].lastRow};
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
    case EList::Warnings:
        if (r >= m_verdict->warnings.size()) return {NO_VALUE, NO_VALUE};
        return {m_verdict->warnings[r].fromMetre, m_verdict->warnings[r].toMetre};
    }
    return {NO_VALUE, NO_VALUE};
}

QString CAssessListModel::MilliVoltText(int64_t mv) { return IsPresent(mv) ? Num(mv) : QString(); }

QString CAssessListModel::TenthsText(int64_t tenths) { return Utf8(tresnum::TenthsText(tenths, "")); }

QString CAssessListModel::MetresText(double metres) { return Utf8(tresnum::LengthText(metres)); }

QString CAssessListModel::ShareText(int32_t tenths) { return Utf8(tresnum::TenthsText(tenths)); }
