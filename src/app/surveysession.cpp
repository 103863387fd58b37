// SPDX-License-Identifier: GPL-3.0-or-later
#include "surveysession.h"

#include "assessfields.h"
#include "assesssettings.h"
#include "doc/tredoc.h"
#include "pipeline/tiedassessment.h"

#include <QFileInfo>

CSurveySession::CSurveySession(CTreDoc& doc, QObject* parent)
    : QObject(parent)
    , m_doc(doc)
{
    const SAssessSettings stored = LoadAssessSettings();
    m_settings = m_defaults = stored.verdict;
    m_worseLimit = stored.worseLimit;
    m_shiftLimit = stored.shiftLimit;
}

CSurveySession::~CSurveySession() = default;

void CSurveySession::Tell(EChange what, bool verdict, bool comparison)
{
    if (verdict) m_bVerdictStale = true;
    if (verdict || comparison) m_bComparisonStale = true;
    emit Changed(what);
}

void CSurveySession::Realign()
{
    if (m_compare.IsLoaded()) m_compare.Align(m_doc, m_pipeline.IsLoaded() ? &m_pipeline.Data() : nullptr);
}

void CSurveySession::RowsChanged()
{
    m_pipeline.Bind(m_doc);
    Realign();
    Tell(EChange::Rows, true, true);
}

void CSurveySession::OnInitialUpdate()
{
    // Read again: another window may have saved defaults since.
    m_settings = m_defaults = LoadAssessSettings().verdict;
    m_pipeline.Bind(m_doc);
    Realign();
    Tell(EChange::Survey, true, true);
}

void CSurveySession::HeaderEdited() { Tell(EChange::Header, false, false); }

bool CSurveySession::LoadPipeline(const QString& path, QStringList& errors)
{
    if (!m_pipeline.Load(path, m_doc, errors)) return false;
    Realign();
    Tell(EChange::Pipeline, true, true);
    return true;
}

bool CSurveySession::LoadPipelineText(const std::string& text, const QString& name, QStringList& errors)
{
    if (!m_pipeline.LoadText(text, name, m_doc, errors)) return false;
    Realign();
    Tell(EChange::Pipeline, true, true);
    return true;
}

void CSurveySession::ClosePipeline()
{
    m_pipeline.Close();
    m_pipeline.Bind(m_doc); // a file's own GPS track, if it has one
    Realign();
    Tell(EChange::Pipeline, true, true);
}

bool CSurveySession::LoadComparison(const QString& path, bool native, QWidget* parent)
{
    if (!m_compare.Load(path, native, parent)) return false;
    Realign();
    Tell(EChange::Comparison, true, true);
    return true;
}

bool CSurveySession::LoadComparisonBytes(const std::string& bytes, const QString& name, QWidget* parent,
                                         const std::string& reading)
{
    if (!m_compare.LoadBytes(bytes, name, false, parent, reading)) return false;
    Realign();
    Tell(EChange::Comparison, true, true);
    return true;
}

void CSurveySession::CompareReversed()
{
    m_compare.SetReversed(true);
    Realign();
    Tell(EChange::Comparison, true, true);
}

void CSurveySession::CloseComparison()
{
    m_compare.Close();
    Tell(EChange::Comparison, true, true);
}

void CSurveySession::SetComparisonShown(bool shown)
{
    m_compare.SetShown(shown);
    Tell(EChange::Comparison, false, false);
}

QString CSurveySession::ComparisonName() const
{
    return m_compare.IsLoaded() ? QFileInfo(m_compare.Path()).fileName() : QString();
}

void CSurveySession::SetSettings(const SVerdictSettings& settings)
{
    m_settings = settings;
    Tell(EChange::Settings, true, false);
}

void CSurveySession::SaveSettingsAsDefaults()
{
    SaveVerdictDefaults(m_settings);
    m_defaults = m_settings;
    Tell(EChange::Settings, false, false);
}

bool CSurveySession::SettingsAreDefaults() const { return assessfield::SameSettings(m_settings, m_defaults); }

SCompareSettings CSurveySession::CompareSettings() const
{
    SCompareSettings s;
    s.mode = m_compare.IsLoaded() && m_compare.IsNative() ? ECompareMode::Native : ECompareMode::Earlier;
    s.worseLimit = m_worseLimit;
    s.shiftLimit = m_shiftLimit;
    s.alignment = m_compare.Alignment();
    return s;
}

void CSurveySession::SetCompareLimit(int32_t limit)
{
    if (CompareSettings().mode == ECompareMode::Native) m_shiftLimit = IsPresent(limit) ? limit : kDefaultShiftLimit;
    else m_worseLimit = IsPresent(limit) ? limit : kDefaultWorseLimit;
    SaveCompareLimits(m_worseLimit, m_shiftLimit);
    Tell(EChange::Settings, false, true);
}

std::shared_ptr<const SVerdict> CSurveySession::Verdict() const
{
    if (!m_bVerdictStale) return m_verdict;
    m_bVerdictStale = false;
    const CTreDoc* native = m_compare.IsLoaded() && m_compare.IsNative() ? m_compare.Doc() : nullptr;
    m_binding = m_pipeline.Binding();
    // A binding of other rows (never expected: the survey is tied first) is no binding.
    if (m_binding && m_binding->chainage.size() != static_cast<size_t>(m_doc.GetRowCount())) m_binding.reset();
    // The native survey paired as the comparison pairs it; a pairing made
    // for other rows (never expected: it is aligned first) is made again
    // by the assessment.
    const std::shared_ptr<const trespipeline::SNativePairing> kept = m_compare.NativePairing();
    const trespipeline::SNativePairing* pairing = native ? kept.get() : nullptr;
    if (pairing && pairing->applied && pairing->rows.size() != static_cast<size_t>(m_doc.GetRowCount()))
        pairing = nullptr;
    m_verdict = std::make_shared<const SVerdict>(
        trespipeline::AssessTied(m_doc, m_settings, native, m_binding.get(), pairing));
    ++m_nAssessments;
    return m_verdict;
}

std::shared_ptr<const trespipeline::SSurveyBinding> CSurveySession::Binding() const
{
    Verdict();
    return m_binding;
}

std::shared_ptr<const SComparison> CSurveySession::ComparisonResult() const
{
    if (!m_bComparisonStale) return m_comparison;
    m_bComparisonStale = false;
    // A refused alignment pairs nothing: pairs by the recorded metres would
    // be exactly the false indications it exists to prevent.
    const bool refused = !m_compare.AlignErrors().isEmpty();
    m_comparison = m_compare.IsLoaded() && !refused
                       ? std::make_shared<const SComparison>(Compare(m_doc, *m_compare.Doc(), CompareSettings()))
                       : nullptr;
    return m_comparison;
}
