// SPDX-License-Identifier: GPL-3.0-or-later
#include "comparesurvey.h"

#include "doc/dochost.h"
#include "doc/tredoc.h"
#include "import/surveyopen.h"
#include "ui/uiseam.h"

namespace {

// Only the messages reach the user: the progress, the status bar and the
// header bar belong to the document being worked on.
class CMessageHost : public CDocHost {
public:
    explicit CMessageHost(QWidget* parent)
        : m_pParent(parent)
    { }
    void ShowMessage(const std::string& text) override
    {
        CUiSeam::Current().Message(m_pParent, QString::fromStdString(text), QMessageBox::Warning);
    }

private:
    QWidget* m_pParent;
};

} // namespace

CCompareSurvey::CCompareSurvey() = default;
CCompareSurvey::~CCompareSurvey() = default;

bool CCompareSurvey::Take(const std::function<bool(CTreDoc&)>& read, const QString& path, bool native, QWidget* parent)
{
    auto doc = std::make_unique<CTreDoc>();
    CMessageHost host(parent);
    doc->SetHost(&host);
    const bool ok = read(*doc);
    doc->SetHost(nullptr);
    if (!ok) return false;
    Close();
    m_pDoc = std::move(doc);
    m_bNative = native;
    m_bShown = true;
    m_strPath = path;
    return true;
}

bool CCompareSurvey::Load(const QString& path, bool native, QWidget* parent)
{
    return Take([&](CTreDoc& doc) { return tresimport::OpenSurvey(doc, path.toStdString()); }, path, native, parent);
}

bool CCompareSurvey::LoadBytes(const std::string& bytes, const QString& name, bool native, QWidget* parent,
                               const std::string& reading)
{
    return Take([&](CTreDoc& doc) { return tresimport::OpenSurveyBytes(doc, bytes, name.toStdString(), reading); },
                name, native, parent);
}

void CCompareSurvey::Close()
{
    m_pDoc.reset();
    m_bNative = false;
    m_bShown = false;
    m_bReverse = false;
    m_strPath.clear();
    m_alignment.reset();
    m_alignErrors.clear();
    m_refusal = tresdoc::ERefusal::None;
    m_alignNotes.clear();
    m_curveMetres.clear();
    m_nativePairing.reset();
}

void CCompareSurvey::Align(const CTreDoc& current, const trespipeline::SPipelineData* pipeline)
{
    m_alignment.reset();
    m_alignErrors.clear();
    m_refusal = tresdoc::ERefusal::None;
    m_alignNotes.clear();
    m_curveMetres.clear();
    m_nativePairing.reset();
    if (!m_pDoc || current.m_bEmpty) return;
    trespipeline::SComparisonAlignRequest request;
    request.reverse = m_bReverse;
    request.pipeline = pipeline;
    const trespipeline::SComparisonAlignResult r
        = trespipeline::AlignForComparison(current, *m_pDoc, m_bNative, request);
    for (const std::string& e : r.errors) m_alignErrors << QString::fromStdString(e);
    m_refusal = r.refusal;
    for (const std::string& n : r.notes) m_alignNotes << QString::fromStdString(n);
    if (m_bNative)
        m_nativePairing
            = std::make_shared<const trespipeline::SNativePairing>(trespipeline::NativePairingOf(current, *m_pDoc, r));
    if (!r.ok) return;
    m_alignment = r.alignment;
    // Paired by the recorded metres, the curve keeps its own.
    if (!m_alignment->earlierMetres.empty()) m_curveMetres = EarlierOnCurrentMetres(current, *m_pDoc, *m_alignment);
}

std::vector<int32_t> CCompareSurvey::CurveChainages() const
{
    if (m_alignment && m_alignment->method == EAlignMethod::Pipeline
        && m_alignment->earlierMetres.size() == static_cast<size_t>(m_pDoc->GetRowCount()))
        return m_alignment->earlierMetres;
    return std::vector<int32_t>(m_pDoc ? static_cast<size_t>(m_pDoc->GetRowCount()) : 0, NO_VALUE);
}

bool CCompareSurvey::RefusedAsReversed() const { return m_refusal == tresdoc::ERefusal::Reversed; }
