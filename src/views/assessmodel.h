// SPDX-License-Identifier: GPL-3.0-or-later
// The three lists of the assessment window (indications, suspected defects,
// plausibility warnings) as one table model each. The model holds the
// assessment it was given and turns its values into text only when a row is
// shown, so a survey with thousands of indications costs one reset, not
// thousands of items.
//
// Potentials are shown in whole mV and gradients in mV with their tenth
// (decimal comma), the units in which the limits are typed: the table's
// two-decimal volts would show a failing -849 mV as the -0,85 of a limit
// of -850.
#pragma once

#include "assessment.h"

#include <QAbstractTableModel>

#include <memory>
#include <utility>

class CAssessListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class EList { Indications, Defects, Warnings };

    explicit CAssessListModel(EList list, QObject* parent = nullptr);

    EList List() const { return m_list; }
    // Shows `assessment` (null: nothing) from scratch.
    void SetAssessment(std::shared_ptr<const SAssessment> assessment);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The survey rows list row `i` stands for (a defect: its one row); {0, 0}
    // for a row that is not there.
    std::pair<int, int> SurveyRows(int i) const;
    // Their metres, in survey order.
    std::pair<int64_t, int64_t> SurveyMetres(int i) const;

    // mV as a whole number, empty when absent.
    static QString MilliVoltText(int32_t mv);
    // Tenths of a mV as mV with one decimal and a decimal comma ("-0,5").
    static QString TenthsText(int32_t tenths);

private:
    QString Text(int row, int column) const;

    EList m_list;
    std::shared_ptr<const SAssessment> m_assessment;
};
