// SPDX-License-Identifier: GPL-3.0-or-later
// One survey session: the document's companions the program holds beside
// it, and the one verdict every part of the window shows. The pipeline data
// (tied to the survey again after every change of it), the comparison
// survey (aligned again after every change of either), the verdict's
// settings and the verdict itself, assessed through AssessTied as the tool
// and the report assess it.
//
// The verdict's settings belong to the survey: every survey opened or
// begun starts from the stored defaults (program settings, section
// "Bewertung"), and a change stays with it until the user saves the
// settings in use as the defaults.
//
// A change marks what it touches and is told once through Changed(); the
// verdict and the comparison are assessed when somebody first asks for
// them after it, once, however many ask. A header edit touches neither: it
// is told as EChange::Header alone, so nothing is tied, aligned or
// assessed again for it.
//
// It is the first of the document's views, so every pane that draws the
// survey finds the binding and the alignment already made for the rows as
// they are.
#pragma once

#include "comparesurvey.h"
#include "doc/comparison.h"
#include "doc/verdict.h"
#include "pipelinesource.h"
#include "views/viewhub.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class CTreDoc;
class QWidget;

class CSurveySession : public QObject, public CTreViewBase {
    Q_OBJECT
public:
    enum class EChange {
        Survey,     // another survey opened or a new one begun, its settings the stored defaults
        Rows,       // the document's rows or settings (edited, undone)
        Header,     // a header text typed: no verdict changes
        Settings,   // the verdict's or the comparison's settings
        Pipeline,   // pipeline data loaded or closed
        Comparison, // a comparison survey loaded, closed, turned round, shown or hidden
    };
    Q_ENUM(EChange)

    explicit CSurveySession(CTreDoc& doc, QObject* parent = nullptr);
    ~CSurveySession() override;

    CTreDoc& Doc() const { return m_doc; }

    // ---- the document's view ----------------------------------------------
    void OnInitialUpdate() override;
    void OnUpdate() override { RowsChanged(); }
    void Invalidate() override { }
    // A header text was typed into the document.
    void HeaderEdited();

    // ---- pipeline data ----------------------------------------------------
    const CPipelineSource& Pipeline() const { return m_pipeline; }
    // Reads `path` and ties the survey to it; false with the reasons in
    // `errors`, and what was loaded before stays.
    bool LoadPipeline(const QString& path, QStringList& errors);
    // The same from data already read (CPipelineSource::LoadText).
    bool LoadPipelineText(const std::string& text, const QString& name, QStringList& errors);
    void ClosePipeline();

    // ---- the comparison survey --------------------------------------------
    const CCompareSurvey& Comparison() const { return m_compare; }
    // Reads and aligns `path`; false: the user has seen why, and the survey
    // compared so far stays.
    bool LoadComparison(const QString& path, bool native, QWidget* parent);
    // The same from a survey's bytes kept in the archive, `name` its file's.
    // `reading`: how the survey was read when kept (CSurveyExtras::reading).
    bool LoadComparisonBytes(const std::string& bytes, const QString& name, QWidget* parent,
                             const std::string& reading = {});
    // Compared as walked from the other end, aligned again.
    void CompareReversed();
    void CloseComparison();
    void SetComparisonShown(bool shown);
    // The comparison survey's file name, for headings.
    QString ComparisonName() const;

    // ---- settings ---------------------------------------------------------
    const SVerdictSettings& Settings() const { return m_settings; }
    // Takes settings the window has checked, for this survey alone.
    void SetSettings(const SVerdictSettings& settings);
    // Stores the settings in use as the defaults every survey starts from.
    void SaveSettingsAsDefaults();
    // Whether the settings in use are the stored defaults.
    bool SettingsAreDefaults() const;
    // The mode, both limits and the alignment in use.
    SCompareSettings CompareSettings() const;
    // The limit of the mode in use (NO_VALUE: its default), stored.
    void SetCompareLimit(int32_t limit);

    // ---- results ----------------------------------------------------------
    // The verdict of the survey as it is now; null for an empty survey
    // before the first assessment.
    std::shared_ptr<const SVerdict> Verdict() const;
    // The binding that verdict was judged with; null: the recorded metres.
    std::shared_ptr<const trespipeline::SSurveyBinding> Binding() const;
    // The comparison with the aligned survey; null without one, or when its
    // alignment is refused.
    std::shared_ptr<const SComparison> ComparisonResult() const;
    // How often the survey was assessed, for the tests.
    int Assessments() const { return m_nAssessments; }

signals:
    void Changed(CSurveySession::EChange what);

private:
    void RowsChanged();
    void Realign();
    void Tell(EChange what, bool verdict, bool comparison);

    CTreDoc& m_doc;
    CPipelineSource m_pipeline;
    CCompareSurvey m_compare;
    SVerdictSettings m_settings;
    SVerdictSettings m_defaults; // as stored when the survey was opened or they were saved
    int32_t m_worseLimit;
    int32_t m_shiftLimit;
    mutable std::shared_ptr<const SVerdict> m_verdict;
    mutable std::shared_ptr<const trespipeline::SSurveyBinding> m_binding;
    mutable std::shared_ptr<const SComparison> m_comparison;
    mutable bool m_bVerdictStale = true;
    mutable bool m_bComparisonStale = true;
    mutable int m_nAssessments = 0;
};
