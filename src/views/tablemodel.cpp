// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablemodel.h"

#include "doc/criterion.h"
#include "doc/numtext.h"
#include "doc/tredoc.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

const QColor CTrePlotModel::kDarkBlue(0, 0, 159);
const QColor CTrePlotModel::kDarkRed(159, 0, 0);
const QColor CTrePlotModel::kDarkGreen(0, 96, 0);
const QColor CTrePlotModel::kRowOdd(255, 255, 255);
const QColor CTrePlotModel::kRowEven(192, 220, 192);
const QColor CTrePlotModel::kAboveCriterion(255, 128, 128);

namespace {

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }

std::string_view Trimmed(std::string_view t)
{
    while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
    while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
    return t;
}

// A number as typed into a cell: blanks around it, a sign, digits with a
// decimal comma or point, an exponent, and the column's unit after it
// ("-1,25 V", "123.9 m"). Anything else is no number at all: cutting
// "-1,25" at the comma would store -1 V without a word.
std::optional<double> ReadCellNumber(std::string_view text, std::string_view unit)
{
    std::string_view t = Trimmed(text);
    const auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; };
    if (t.size() > unit.size()
        && std::equal(unit.begin(), unit.end(), t.end() - static_cast<std::ptrdiff_t>(unit.size()),
                      [&](char a, char b) { return lower(a) == lower(b); }))
        t = Trimmed(t.substr(0, t.size() - unit.size()));
    std::string number(t);
    size_t i = 0;
    const auto digits = [&] {
        const size_t from = i;
        while (i < number.size() && number[i] >= '0' && number[i] <= '9') ++i;
        return i - from;
    };
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
    size_t mantissa = digits();
    if (i < number.size() && (number[i] == ',' || number[i] == '.')) {
        number[i++] = '.';
        mantissa += digits();
    }
    if (mantissa == 0) return std::nullopt;
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        ++i;
        if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
        if (digits() == 0) return std::nullopt;
    }
    if (i != number.size()) return std::nullopt;
    return tresnum::ParseDoublePrefix(number);
}

// The unit a column's numbers may be typed with.
std::string_view UnitOf(int c)
{
    switch (c) {
    case CTrePlotModel::ColMeter: return "m";
    case CTrePlotModel::ColPotOn:
    case CTrePlotModel::ColPotOff: return "V";
    default: return "mV";
    }
}

// A column the user types a measured value into: the value it edits and
// the factor from the unit typed (UnitOf) to the stored one.
struct SEditable {
    int column;
    ERowValue value;
    double factor;
};
constexpr SEditable kEditable[] = {
    {CTrePlotModel::ColMeter, ERowValue::Meter, 1.0},        {CTrePlotModel::ColPotOn, ERowValue::PotOn, 1000.0},
    {CTrePlotModel::ColPotOff, ERowValue::PotOff, 1000.0},   {CTrePlotModel::ColGradOn, ERowValue::GradOnL, 10.0},
    {CTrePlotModel::ColGradOnR, ERowValue::GradOnR, 10.0},   {CTrePlotModel::ColGradOff, ERowValue::GradOffL, 10.0},
    {CTrePlotModel::ColGradOffR, ERowValue::GradOffR, 10.0},
};

const SEditable* EditableColumn(int c)
{
    for (const SEditable& e : kEditable)
        if (e.column == c) return &e;
    return nullptr;
}

QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

CTrePlotModel::CTrePlotModel(CTreDoc& doc, QObject* parent)
    : QAbstractTableModel(parent)
    , m_doc(doc)
    , m_nRows(doc.GetRowCount())
{ }

int CTrePlotModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_nRows; }

int CTrePlotModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString CTrePlotModel::CellText(int r, int c) const
{
    const bool lr = m_doc.m_bTableLR;
    switch (c) {
    case ColMeter: return FromUtf8(m_doc.FormatMeter(r) + "  ");
    case ColPotOn: return FromUtf8(m_doc.FormatPotOn(r));
    case ColPotOff: return FromUtf8(m_doc.FormatPotOff(r));
    case ColPotIRFree: return FromUtf8(m_doc.FormatPotIRFree(r));
    case ColGradOn: return FromUtf8(lr ? m_doc.FormatGradOnL(r) : m_doc.FormatGradOn(r));
    case ColGradOnR: return FromUtf8(m_doc.FormatGradOnR(r));
    case ColGradOff: return FromUtf8(lr ? m_doc.FormatGradOffL(r) : m_doc.FormatGradOff(r));
    case ColGradOffR: return FromUtf8(m_doc.FormatGradOffR(r));
    case ColGradDiff: return FromUtf8(lr ? m_doc.FormatGradDiffL(r) : m_doc.FormatGradDiff(r));
    case ColGradDiffR: return FromUtf8(m_doc.FormatGradDiffR(r));
    case ColComment: return FromUtf8(m_doc.GetComment(r));
    default: return {};
    }
}

// The one reading of the criterion, so the table marks what the curves'
// criterion line and the verdict use.
double CTrePlotModel::Criterion() const { return SurveyProtectionCriterion(m_doc).protection; }

QColor CTrePlotModel::CellBackground(int r, int c) const
{
    if (c == ColPotOff) {
        const int32_t p = m_doc.GetPotOff(r);
        if (IsPresent(p) && p > Criterion()) return kAboveCriterion;
    }
    return r % 2 == 0 ? kRowEven : kRowOdd;
}

QVariant CTrePlotModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_nRows) return {};
    const int r = index.row() + 1;
    const int c = GridColumn(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return CellText(r, c);
    case Qt::BackgroundRole: return CellBackground(r, c);
    case Qt::ForegroundRole:
        switch (c) {
        case ColPotOn:
        case ColGradOn:
        case ColGradOnR: return kDarkBlue;
        case ColPotOff:
        case ColGradOff:
        case ColGradOffR: return kDarkRed;
        case ColPotIRFree:
        case ColGradDiff:
        case ColGradDiffR: return kDarkGreen;
        default: return {};
        }
    case Qt::TextAlignmentRole:
        if (c == ColMeter) return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
        if (c >= ColPotOn && c <= ColGradOff) return static_cast<int>(Qt::AlignCenter);
        return {};
    default: return {};
    }
}

QVariant CTrePlotModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    switch (GridColumn(section)) {
    case ColMeter: return QStringLiteral("Meter");
    case ColPotOn: return QStringLiteral("Potential");
    case ColGradOn: return QStringLiteral("Gradient");
    case ColComment: return QStringLiteral("Kommentar");
    default: return QString();
    }
}

Qt::ItemFlags CTrePlotModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    const int c = GridColumn(index.column());
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (c != ColPotIRFree && c != ColGradDiff && c != ColGradDiffR) f |= Qt::ItemIsEditable;
    return f;
}

bool CTrePlotModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= m_nRows) return false;
    if (!(flags(index) & Qt::ItemIsEditable)) return false;
    if (!value.isValid()) return true; // nothing typed: accepted, nothing stored
    return StoreCell(index.row() + 1, GridColumn(index.column()), value.toString().toStdString()) == EStore::Accepted;
}

CTrePlotModel::EStore CTrePlotModel::StoreCell(int r, int c, const std::string& t)
{
    if (r < 1 || c < 1 || !m_doc.IsValidRow(r)) return EStore::Refused;

    // Blanks alone clear the cell (the text an absent value shows).
    const bool empty = Trimmed(t).empty();
    double x = 0.0;
    if (!empty && c != ColComment) {
        const std::optional<double> typed = ReadCellNumber(t, UnitOf(c));
        if (!typed) {
            emit StoreRefused(QString::fromUtf8("Ungültige Zahl: \"%1\". Erlaubt sind Zahlen mit Komma oder Punkt "
                                                "wie -1,25 oder -1.25; die Zelle bleibt, wie sie war.")
                                  .arg(FromUtf8(std::string(Trimmed(t)))));
            return EStore::Refused;
        }
        x = *typed;
    }
    // The stored integer, or nothing when the typed number does not fit.
    auto scaled = [&](double factor) {
        const std::optional<int32_t> v = tresnum::TruncScaled(x, factor);
        if (!v)
            emit StoreRefused(
                QString::fromUtf8("Die Zahl \"%1\" ist für diese Zelle zu groß; die Zelle bleibt, wie sie war.")
                    .arg(FromUtf8(std::string(Trimmed(t)))));
        return v;
    };

    if (c == ColComment) {
        m_doc.EditComment(r, t);
    } else {
        const SEditable* e = EditableColumn(c);
        // The derived columns show computed values only.
        if (!e) return EStore::Accepted;
        // A cleared metre keeps its value but still counts as an edit.
        int32_t v = c == ColMeter ? m_doc.GetMeter(r) : NO_VALUE;
        if (!empty) {
            const auto typed = scaled(e->factor);
            if (!typed) return EStore::Refused;
            v = *typed;
        }
        m_doc.EditCell(r, e->value, v);
    }

    // The derived cells of the row change with it even where no host
    // forwards the document's update to this model.
    emit dataChanged(index(r - 1, 0), index(r - 1, ColumnCount - 1));
    m_doc.UpdateAllViews();
    return EStore::Accepted;
}

void CTrePlotModel::Sync()
{
    const int n = std::max(0, m_doc.GetRowCount());
    if (n > m_nRows) {
        beginInsertRows({}, m_nRows, n - 1);
        m_nRows = n;
        endInsertRows();
    } else if (n < m_nRows) {
        beginRemoveRows({}, n, m_nRows - 1);
        m_nRows = n;
        endRemoveRows();
    }
    if (m_nRows > 0) emit dataChanged(index(0, 0), index(m_nRows - 1, ColumnCount - 1));
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void CTrePlotModel::Reset()
{
    beginResetModel();
    m_nRows = std::max(0, m_doc.GetRowCount());
    endResetModel();
}

void CTrePlotModel::InsertRowAfter(int r)
{
    if (r < 0 || r > m_nRows) return;
    Sync();
    beginInsertRows({}, r, r);
    m_doc.InsertRowAfter(r);
    m_nRows = m_doc.GetRowCount();
    endInsertRows();
    m_doc.UpdateAllViews();
}

bool CTrePlotModel::ClearCells(const QModelIndexList& cells)
{
    std::vector<std::pair<int, ERowValue>> values;
    std::vector<int> comments;
    for (const QModelIndex& cell : cells) {
        if (!cell.isValid() || cell.row() >= m_nRows) continue;
        const int r = cell.row() + 1, c = GridColumn(cell.column());
        if (c == ColComment) comments.push_back(r);
        else if (const SEditable* e = EditableColumn(c); e && c != ColMeter) values.emplace_back(r, e->value);
    }
    if (!m_doc.ClearCells(values, comments)) return false;
    m_doc.UpdateAllViews();
    return true;
}

void CTrePlotModel::DeleteRows(int top, int bottom)
{
    Sync();
    top = std::max(top, 1);
    bottom = std::min(bottom, m_nRows);
    if (top > bottom) return;
    beginRemoveRows({}, top - 1, bottom - 1);
    m_doc.DeleteRows(top, bottom - top + 1);
    m_nRows = m_doc.GetRowCount();
    endRemoveRows();
    m_doc.UpdateAllViews();
}
