// SPDX-License-Identifier: GPL-3.0-or-later
// The "Bewertung" window: a dock beside the table with the assessment's
// limits (each criterion with its check box, the spike and gap thresholds),
// its summary and its three lists. It is one of the document's views, so it
// assesses again after every change of the survey, and again after every
// change of a limit; the limits live in the program's settings (section
// "Bewertung"), never in the survey file.
//
// Its "Vergleich" page shows the comparison with the survey the main window
// holds beside the document, when there is one: the limit of the mode's
// criterion (also kept in the settings), the pairs' summary and the
// indications.
//
// While the window is hidden and nobody asked for the result (the curve
// overlay), a survey change only marks the result stale; showing the window
// brings it up to date.
#pragma once

#include "assessment.h"
#include "assessmodel.h"
#include "comparemodel.h"
#include "comparison.h"
#include "viewhub.h"

#include <QDockWidget>

#include <memory>

class CTreDoc;
class QCheckBox;
class QLabel;
class QAbstractItemModel;
class QLineEdit;
class QTableView;

class CAssessWnd : public QDockWidget, public CTreViewBase {
    Q_OBJECT
public:
    explicit CAssessWnd(CTreDoc& doc, QWidget* parent = nullptr);
    ~CAssessWnd() override;

    void OnInitialUpdate() override { Recompute(); }
    void OnUpdate() override { Recompute(); }
    void Invalidate() override { }

    // The settings in use, as read from and written to the program settings.
    const SAssessSettings& Settings() const { return m_settings; }
    // The last result; null before the first assessment of a survey.
    std::shared_ptr<const SAssessment> Result() const { return m_result; }
    // Keeps the result current even while the window is hidden.
    void SetAlwaysCurrent(bool on);
    // Assesses the survey now (when shown or kept current) and refills.
    void Recompute();

    // The survey to compare with (null: none), whether it is a native one,
    // and its file name for the page's heading. The window only reads it;
    // the caller keeps it alive until it sets another one.
    void SetComparison(const CTreDoc* earlier, bool native, const QString& name);
    // The mode and both limits in use.
    const SCompareSettings& CompareSettings() const { return m_compareSettings; }
    // The dock's width that shows the widest of its three lists whole (while
    // it is shown; before, the lists' width alone).
    int ListsWidth() const;
    // The last comparison; null without a comparison survey.
    std::shared_ptr<const SComparison> Comparison() const { return m_comparison; }

    // ---- for the tests and the main window ----------------------------------
    QLineEdit* LimitEdit(ECriterion c) const { return m_pLimit[static_cast<int>(c)]; }
    QCheckBox* CriterionCheck(ECriterion c) const { return m_pEnabled[static_cast<int>(c)]; }
    QLineEdit* SpikeEdit() const { return m_pSpike; }
    QLineEdit* GapEdit() const { return m_pGap; }
    QLabel* MessageLabel() const { return m_pMessage; }
    QLabel* SummaryLabel() const { return m_pSummary; }
    QTableView* ListView(CAssessListModel::EList list) const { return m_pViews[static_cast<int>(list)]; }
    CAssessListModel* ListModel(CAssessListModel::EList list) const { return m_pModels[static_cast<int>(list)]; }
    QLabel* CompareSourceLabel() const { return m_pCompareSource; }
    QLabel* CompareLimitLabel() const { return m_pCompareLimitLabel; }
    QLineEdit* CompareLimitEdit() const { return m_pCompareLimit; }
    QLabel* CompareSummaryLabel() const { return m_pCompareSummary; }
    QTableView* CompareView() const { return m_pCompareView; }
    CCompareListModel* CompareModel() const { return m_pCompareModel; }

    // Reads a decimal number typed in mV or m ("-850", "5,0", "5.05") as an
    // integer in tenths when `tenths` is set, else whole units, truncated
    // toward zero. Empty text gives NO_VALUE (the default); false when the
    // text is no number or does not fit.
    static bool ParseLimit(const QString& text, bool tenths, int32_t& value);

signals:
    // A new result is there (also after a limit change).
    void Recomputed();
    // A list row was double-clicked: its survey rows and their metres.
    void StretchChosen(int firstRow, int lastRow, qint64 fromMetre, qint64 toMetre);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* BuildLimits(QWidget* parent);
    QWidget* BuildComparePage(QWidget* parent);
    QTableView* NewListView(QWidget* parent, QAbstractItemModel* model);
    void RecomputeComparison();
    void ShowComparison();
    void OnCompareLimitEdited();
    void LoadSettings();
    void SaveSettings() const;
    void OnLimitEdited(int field);
    void ShowSummary();
    void ShowLimitsInFields();

    CTreDoc& m_doc;
    SAssessSettings m_settings;
    std::shared_ptr<const SAssessment> m_result;
    bool m_bStale = true;
    bool m_bAlwaysCurrent = false;

    QLineEdit* m_pLimit[kCriterionCount] = {};
    QCheckBox* m_pEnabled[kCriterionCount] = {};
    QLineEdit* m_pSpike = nullptr;
    QLineEdit* m_pGap = nullptr;
    QLabel* m_pMessage = nullptr;
    QLabel* m_pSummary = nullptr;
    CAssessListModel* m_pModels[3] = {};
    QTableView* m_pViews[3] = {};

    const CTreDoc* m_pCompareDoc = nullptr;
    QString m_strCompareName;
    SCompareSettings m_compareSettings;
    std::shared_ptr<const SComparison> m_comparison;
    QLabel* m_pCompareSource = nullptr;
    QLabel* m_pCompareLimitLabel = nullptr;
    QLineEdit* m_pCompareLimit = nullptr;
    QLabel* m_pCompareSummary = nullptr;
    CCompareListModel* m_pCompareModel = nullptr;
    QTableView* m_pCompareView = nullptr;
};
