// SPDX-License-Identifier: GPL-3.0-or-later
// The "Bewertung" window: a dock beside the table with the protection
// verdict of the survey ("Schutznachweis"). It shows the criterion with
// its source and warning, the coverage and the five statuses as a bar over
// the survey and as lengths and shares, and three lists: the stretches
// that are not protected, the dig list and the plausibility warnings. Its
// fields are the verdict's settings (assessfields.h) of this survey, never
// kept in the survey file; "Als Standard speichern" makes them the defaults
// every later survey starts from. A native survey loaded as
// the comparison ("Nativmessung") serves the 100 mV criterion.
//
// It shows what the survey session (surveysession.h) holds: the verdict
// after every change of the survey, of a field, of the pipeline data or of
// the comparison. It assesses nothing itself.
//
// Its "Vergleich" page shows the comparison with the session's comparison
// survey, when there is one: the limit of the mode's criterion (also kept
// in the settings), the pairs' summary and the indications.
//
// With pipeline data the lists show chainages (and the dig list
// positions), the runs of rows beyond the route join the warnings, and a
// line above the lists names the data with its warnings, or says why the
// survey as it is cannot be tied to them.
//
// While the window is hidden a change only marks what it shows as stale;
// showing the window brings it up to date.
#pragma once

#include "assessfields.h"
#include "surveysession.h"
#include "views/assessmodel.h"
#include "views/comparemodel.h"

#include <QDockWidget>
#include <QStringList>

#include <memory>

class CSortedList;
class CVerdictBar;
class QCheckBox;
class QGridLayout;
class QLabel;
class QAbstractItemModel;
class QLineEdit;
class QPushButton;
class QTableView;

class CAssessWnd : public QDockWidget {
    Q_OBJECT
public:
    // The fields of the settings, in the order they are shown.
    using EField = assessfield::EField;
    using enum assessfield::EField;

    explicit CAssessWnd(CSurveySession& session, QWidget* parent = nullptr);
    ~CAssessWnd() override;

    // The settings in use for this survey.
    const SVerdictSettings& Settings() const { return m_session.Settings(); }
    // The session's verdict; null before the first assessment of a survey.
    std::shared_ptr<const SVerdict> Result() const { return m_session.Verdict(); }
    // The binding that verdict was assessed with; null: none.
    std::shared_ptr<const trespipeline::SSurveyBinding> Binding() const { return m_session.Binding(); }
    // The mode, both limits and the alignment in use.
    SCompareSettings CompareSettings() const { return m_session.CompareSettings(); }

    // The dock's width that shows the widest of its three lists whole (while
    // it is shown; before, the lists' width alone).
    int ListsWidth() const;
    // The last comparison; null without a comparison survey.
    std::shared_ptr<const SComparison> Comparison() const { return m_session.ComparisonResult(); }

    // ---- for the tests and the main window ----------------------------------
    QLineEdit* Field(EField f) const { return m_pFields[f]; }
    QCheckBox* Use100mVCheck() const { return m_pUse100; }
    QPushButton* SaveDefaultsButton() const { return m_pSaveDefaults; }
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
    static bool ParseNumber(const QString& text, int places, int64_t& value)
    {
        return assessfield::ParseNumber(text, places, value);
    }

signals:
    // A list row was double-clicked: its survey rows and their metres
    // (NO_VALUE for rows without a metre).
    void StretchChosen(int firstRow, int lastRow, qint64 fromMetre, qint64 toMetre);
    // "Umgekehrt vergleichen" on the page of a comparison refused as reversed.
    void CompareReversedAsked();
    // "Befund erfassen…" on an entry of the dig list: its defect's row.
    void DigFindingAsked(int row);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OfferDigFinding(QTableView* view, int model);

private:
    // What the session holds, shown now when the window is, else later.
    void OnSessionChanged(CSurveySession::EChange what);
    void Refresh();
    // The criterion, the pipeline data, the bar and the summary above the lists.
    QWidget* BuildSummary(QWidget* parent);
    QWidget* BuildFields(QWidget* parent);
    // A settings field's edit with its label (returned in `label`).
    QLineEdit* MakeField(QWidget* box, int field, int width, QLabel*& label);
    void PlaceField(QGridLayout* grid, QWidget* box, int field, int row, int column);
    QWidget* BuildComparePage(QWidget* parent);
    // A list of `model`'s rows, sorted by a click on a column's header.
    QTableView* NewListView(QWidget* parent, QAbstractItemModel* model);
    static const CSortedList* Sorted(const QTableView* view);
    void ShowComparison();
    void OnCompareLimitEdited();
    void OnFieldEdited(int field);
    void ShowResult();
    void ShowPipeline();
    void ShowSettingsInFields();

    CSurveySession& m_session;
    bool m_bStale = true;

    QLineEdit* m_pFields[kFieldCount] = {};
    QCheckBox* m_pUse100 = nullptr;
    QPushButton* m_pSaveDefaults = nullptr;
    QLabel* m_pCriterion = nullptr;
    QLabel* m_pWarning = nullptr;
    QLabel* m_pMessage = nullptr;
    QLabel* m_pSummary = nullptr;
    QLabel* m_pPipelineLabel = nullptr;
    CVerdictBar* m_pBar = nullptr;
    CAssessListModel* m_pModels[3] = {};
    QTableView* m_pViews[3] = {};

    QLabel* m_pCompareSource = nullptr;
    QLabel* m_pCompareLimitLabel = nullptr;
    QLineEdit* m_pCompareLimit = nullptr;
    QLabel* m_pCompareSummary = nullptr;
    QLabel* m_pCompareAlign = nullptr;
    QPushButton* m_pCompareReverse = nullptr;
    CCompareListModel* m_pCompareModel = nullptr;
    QTableView* m_pCompareView = nullptr;
};
