// SPDX-License-Identifier: GPL-3.0-or-later
// The indications of a comparison with an earlier or a native survey, as the
// table model of the assessment window's "Vergleich" page. Like the
// assessment's lists it holds the result it was given and makes text only
// for the rows shown.
#pragma once

#include "doc/comparison.h"

#include <QAbstractTableModel>

#include <memory>
#include <utility>

class CCompareListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CCompareListModel(QObject* parent = nullptr);

    // Shows `comparison` (null: nothing) from scratch.
    void SetComparison(std::shared_ptr<const SComparison> comparison);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The rows of the document (the current survey) list row `i` covers,
    // and their metres; {0, 0} for a row that is not there.
    std::pair<int, int> SurveyRows(int i) const;
    std::pair<int64_t, int64_t> SurveyMetres(int i) const;

    // A difference in mV, empty when absent.
    static QString DeltaText(int64_t mv);

private:
    std::shared_ptr<const SComparison> m_comparison;
};
