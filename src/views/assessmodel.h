// SPDX-License-Identifier: GPL-3.0-or-later
// The three lists of the "Bewertung" window as one table model each: the
// stretches that are not protected, the dig list ("Aufgrabungsliste") with
// its actions, and the plausibility warnings. The model holds the verdict
// it was given and turns its values into text only when a row is shown, so
// a survey with thousands of stretches costs one reset, not thousands of
// items.
//
// Potentials are shown in whole mV, the gradient difference in mV with its
// tenth, lengths in m and shares in per cent with a decimal comma: the units
// in which the window's fields are typed.
//
// With the survey tied to pipeline data each list shows the chainage
// ("Station") beside the recorded metre, and the dig list the latitude and
// longitude (WGS 84) of each defect.
#pragma once

#include "doc/verdict.h"

#include <QAbstractTableModel>

#include <memory>
#include <utility>
#include <vector>

namespace trespipeline {
struct SSurveyBinding;
}

class CAssessListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class EList { Stretches, DigList, Warnings };

    explicit CAssessListModel(EList list, QObject* parent = nullptr);

    EList List() const { return m_list; }
    // Shows `verdict` (null: nothing) from scratch; `binding` (null: none)
    // is the one the verdict was assessed with.
    void SetVerdict(std::shared_ptr<const SVerdict> verdict,
                    std::shared_ptr<const trespipeline::SSurveyBinding> binding = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The survey rows list row `i` stands for (a defect: its one row); {0, 0}
    // for a row that is not there.
    std::pair<int, int> SurveyRows(int i) const;
    // Their metres, in survey order; NO_VALUE for rows without a metre.
    std::pair<int64_t, int64_t> SurveyMetres(int i) const;

    // mV as a whole number, empty when absent.
    static QString MilliVoltText(int64_t mv);
    // Tenths of a mV as mV with one decimal and a decimal comma ("-0,5").
    static QString TenthsText(int64_t tenths);
    // Metres with up to two decimals and a decimal comma ("20,5").
    static QString MetresText(double metres);
    // Tenths of a per cent with one decimal and a decimal comma; "–" when absent.
    static QString ShareText(int32_t tenths);

    // The columns of all lists; each list shows some of them.
    enum class EColumn {
        Status,
        Kind,
        Priority,
        Row,
        FirstRow,
        LastRow,
        Metre,
        FromMetre,
        ToMetre,
        Chainage,
        FromChainage,
        ToChainage,
        Latitude,
        Longitude,
        Points,
        Length,
        Worst,
        WorstMetre,
        Comments,
        Landmark,
        Side,
        GradDiff,
        IRPercent,
        Category,
        PotOn,
        PotOff,
        PotIRFree,
        Action
    };

private:
    QString Text(int row, EColumn column) const;
    // The row's chainage as text, empty without one.
    QString ChainageText(int row) const;

    EList m_list;
    std::shared_ptr<const SVerdict> m_verdict;
    std::shared_ptr<const trespipeline::SSurveyBinding> m_binding;
    std::vector<size_t> m_stretches; // the stretches that are not protected
    std::vector<EColumn> m_columns;  // as shown
};
