// SPDX-License-Identifier: GPL-3.0-or-later
// The "Bewertung" window: a dock beside the table with the protection
// verdict of the survey ("Schutznachweis"). It shows the criterion with
// its source and warning, the coverage and the five statuses as a bar over
// the survey and as lengths and shares, and three lists: the stretches
// that are not protected, the dig list and the plausibility warnings. Its
// fields are the verdict's settings; they live in the program's settings
// (section "Bewertung"), never in the survey file. A native survey loaded
// as the comparison ("Nativmessung") serves the 100 mV criterion.
//
// It is one of the document's views, so it assesses again after every
// change of the survey, and again after every change of a field.
//
// Its "Vergleich" page shows the comparison with the survey the main window
// holds beside the document, when there is one: the limit of the mode's
// criterion (also kept in the settings), the pairs' summary and the
// indications.
//
// With pipeline data (pipelinesource.h) the verdict takes the binding's
// chainages and section criteria, the lists show chainages (and the dig
// list positions), the runs of rows beyond the route join the warnings,
// and a line above the lists names the data with its warnings, or says why
// the survey as it is cannot be tied to them.
//
// While the window is hidden and nobody asked for the result (the curve
// marks, the map), a survey change only marks the result stale; showing
// the window brings it up to date.
#pragma once

#include "assessmodel.h"
#include "comparemodel.h"
#include "comparison.h"
#include "nativepairing.h"
#include "surveybinding.h"
#include "verdict.h"
#include "viewhub.h"

#include <QDockWidget>
#include <QStringList>

#include <memory>

class CPipelineSource;
class CTreDoc;
class CVerdictBar;
class QCheckBox;
class QLabel;
class QAbstractItemModel;
class QLineEdit;
class QPushButton;
class QTableView;

class CAssessWnd : public QDockWidget, public CTreViewBase {
    Q_OBJECT
public:
    // The fields of the settings, in the order they are shown.
    enum EField {
        FieldProtection,    // E_p, mV; empty: header entry 2
        FieldLimit,         // E_l, mV
        FieldIRFreeMinDiff, // mV with a tenth
        FieldIRFreeMaxRatio,
        FieldGap,   // m
        FieldSpike, // mV
        FieldDefectWindow,
        FieldBackground,
        FieldDefectFactor,
        FieldDefectMin,
        FieldCategory1, // per cent
        FieldCategory2,
        FieldCategory3,
        kFieldCount
    };

    explicit CAssessWnd(CTreDoc& doc, QWidget* parent = nullptr);
    ~CAssessWnd() override;

    void OnInitialUpdate() override { Recompute(); }
    void OnUpdate() override { Recompute(); }
    void Invalidate() override { }

    // The settings in use, as read from and written to the program settings.
    const SVerdictSettings& Settings() const { return m_settings; }
    // The last result; null before the first assessment of a survey.
    std::shared_ptr<const SVerdict> Result() const { return m_result; }
    // The binding the last result was assessed with; null: none.
    std::shared_ptr<const trespipeline::SSurveyBinding> Binding() const { return m_binding; }
    // Where the pipeline data come from (null: none); the caller keeps it
    // alive, ties the survey before the window assesses it, and calls
    // Recompute() when it loads or closes data.
    void SetPipelineSource(const CPipelineSource* source) { m_pPipeline = source; }
    // Keeps the result current even while the window is hidden.
    void SetAlwaysCurrent(bool on);
    // Assesses the survey now (when shown or kept current) and refills.
    void Recompute();

    // The survey to compare with (null: none), whether it is a native one
    // (then it serves the 100 mV criterion too), and its file name for the
    // headings. The window only reads it; the caller keeps it alive until it
    // sets another one.
    void SetComparison(const CTreDoc* earlier, bool native, const QString& name);
    // The alignment the comparison takes (comparesurvey.h); null when it is
    // refused: `errors` say why and the page shows no pairs. `notes`: what
    // the user should know of it. `reversible`: refused only because the
    // survey was walked from the other end; the page then offers to compare
    // it reversed (CompareReversedAsked).
    // `nativePairing`: for a native survey, the 100 mV criterion's pairing
    // from the same alignment (null: paired by the window itself).
    void SetCompareAlignment(std::shared_ptr<const SAlignment> alignment, const QStringList& errors,
                             const QStringList& notes, bool reversible,
                             std::shared_ptr<const trespipeline::SNativePairing> nativePairing = nullptr);
    // The mode, both limits and the alignment in use.
    const SCompareSettings& CompareSettings() const { return m_compareSettings; }

    // The dock's width that shows the widest of its three lists whole (while
    // it is shown; before, the lists' width alone).
    int ListsWidth() const;
    // The last comparison; null without a comparison survey.
    std::shared_ptr<const SComparison> Comparison() const { return m_comparison; }

    // ---- for the tests and the main window ----------------------------------
    QLineEdit* Field(EField f) const { return m_pFields[f]; }
    QCheckBox* Use100mVCheck() const { return m_pUse100; }
    QLabel* MessageLabel() const { return m_pMessage; }
    QLabel* CriterionLabel() const { return m_pCriterion; }
    QLabel* WarningLabel() const { return m_pWarning; }
    QLabel* SummaryLabel() const { return m_pSummary; }
    QLabel* PipelineLabel() const { return m_pPipelineLabel; }
    CVerdictBar* Bar() const { return m_pBar; }
    QTableView* ListView(CAssessListModel::EList list) const { return m_pViews[static_cast<int>(list)]; }
    CAssessListModel* ListModel(CAssessListModel::EList list) const { return m_pModels[static_cast<int>(list)]; }
    QLabel* CompareSourceLabel() const { return m_pCompareSource; }
    QLabel* CompareLimitLabel() const { return m_pCompareLimitLabel; }
    QLineEdit* CompareLimitEdit() const { return m_pCompareLimit; }
    QLabel* CompareSummaryLabel() const { return m_pCompareSummary; }
    QLabel* CompareAlignLabel() const { return m_pCompareAlign; }
    QPushButton* CompareReverseButton() const { return m_pCompareReverse; }
    QTableView* CompareView() const { return m_pCompareView; }
    CCompareListModel* CompareModel() const { return m_pCompareModel; }

    // Reads a decimal number typed with a point or a comma ("-850", "5,0",
    // "2.55") as an integer in units of 10^-`places`, truncated toward zero
    // on its digits. Empty text gives NO_VALUE (the default); false when the
    // text is no number or does not fit into 32 bits.
    static bool ParseNumber(const QString& text, int places, int64_t& value);

signals:
    // A new result is there (also after a field change).
    void Recomputed();
    // A list row was double-clicked: its survey rows and their metres
    // (NO_VALUE for rows without a metre).
    void StretchChosen(int firstRow, int lastRow, qint64 fromMetre, qint64 toMetre);
    // "Umgekehrt vergleichen" on the page of a comparison refused as reversed.
    void CompareReversedAsked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* BuildFields(QWidget* parent);
    QWidget* BuildComparePage(QWidget* parent);
    QTableView* NewListView(QWidget* parent, QAbstractItemModel* model);
    void RecomputeComparison();
    void ShowComparison();
    void OnCompareLimitEdited();
    void LoadSettings();
    void SaveSettings() const;
    void OnFieldEdited(int field);
    void ShowResult();
    void ShowPipeline();
    void ShowSettingsInFields();

    CTreDoc& m_doc;
    SVerdictSettings m_settings;
    std::shared_ptr<const SVerdict> m_result;
    const CPipelineSource* m_pPipeline = nullptr;
    std::shared_ptr<const trespipeline::SSurveyBinding> m_binding;
    bool m_bStale = true;
    bool m_bAlwaysCurrent = false;

    QLineEdit* m_pFields[kFieldCount] = {};
    QCheckBox* m_pUse100 = nullptr;
    QLabel* m_pCriterion = nullptr;
    QLabel* m_pWarning = nullptr;
    QLabel* m_pMessage = nullptr;
    QLabel* m_pSummary = nullptr;
    QLabel* m_pPipelineLabel = nullptr;
    CVerdictBar* m_pBar = nullptr;
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
    QLabel* m_pCompareAlign = nullptr;
    QPushButton* m_pCompareReverse = nullptr;
    QStringList m_alignErrors, m_alignNotes;
    std::shared_ptr<const trespipeline::SNativePairing> m_nativePairing;
    bool m_bAlignReversible = false;
    CCompareListModel* m_pCompareModel = nullptr;
    QTableView* m_pCompareView = nullptr;
};
