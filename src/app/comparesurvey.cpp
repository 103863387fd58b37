// SPDX-License-Identifier: GPL-3.0-or-later
#include "comparesurvey.h"

#include "dochost.h"
#include "tredoc.h"
#include "uiseam.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

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

bool CCompareSurvey::Load(const QString& path, bool native, QWidget* parent)
{
    auto doc = std::make_unique<CTreDoc>(CTreDoc::ERole::Aside);
    CMessageHost host(parent);
    doc->SetHost(&host);
    const bool ok = doc->OnOpenDocument(path.toStdString());
    doc->SetHost(nullptr);
    if (!ok) return false;
    Close();
    m_pDoc = std::move(doc);
    m_bNative = native;
    m_bShown = true;
    m_strPath = path;
    return true;
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
    m_alignNotes.clear();
    m_curveMetres.clear();
}

void CCompareSurvey::Align(const CTreDoc& current, const trespipeline::SPipelineData* pipeline)
{
    m_alignment.reset();
    m_alignErrors.clear();
    m_alignNotes.clear();
    m_curveMetres.clear();
    if (!m_pDoc || current.m_bEmpty) return;
    trespipeline::SComparisonAlignRequest request;
    request.reverse = m_bReverse;
    request.pipeline = pipeline;
    const trespipeline::SComparisonAlignResult r
        = trespipeline::AlignForComparison(current, *m_pDoc, m_bNative, request);
    for (const std::string& e : r.errors) m_alignErrors << QString::fromStdString(e);
    for (const std::string& n : r.notes) m_alignNotes << QString::fromStdString(n);
    if (!r.ok) return;
    m_alignment = r.alignment;
    m_curveMetres = CurveMetresOf(*m_alignment, current);
}

bool CCompareSurvey::RefusedAsReversed() const
{
    return m_alignErrors.size() == 1 && m_alignErrors.front() == QString::fromUtf8(kReversedSurveyMessage);
}

std::vector<int32_t> CurveMetresOf(const SAlignment& alignment, const CTreDoc& current)
{
    if (alignment.method != EAlignMethod::Pipeline) return alignment.earlierMetres;
    // The current rows' (chainage, metre), by chainage; the first row of a chainage stands for it.
    std::vector<std::pair<int32_t, int32_t>> line;
    for (int r = 1; r <= current.GetRowCount() && static_cast<size_t>(r) <= alignment.currentMetres.size(); ++r) {
        const int32_t s = alignment.currentMetres[static_cast<size_t>(r - 1)], m = current.GetMeter(r);
        if (IsPresent(s) && IsPresent(m)) line.emplace_back(s, m);
    }
    std::stable_sort(line.begin(), line.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    line.erase(std::unique(line.begin(), line.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
               line.end());
    std::vector<int32_t> out;
    out.reserve(alignment.earlierMetres.size());
    for (int32_t s : alignment.earlierMetres) {
        if (!IsPresent(s) || line.empty()) {
            out.push_back(NO_VALUE);
            continue;
        }
        const auto at
            = std::lower_bound(line.begin(), line.end(), s, [](const auto& p, int32_t v) { return p.first < v; });
        double metre;
        if (line.size() == 1) {
            metre = line.front().second + (s - line.front().first);
        } else {
            // Between two rows linear; beyond the ends the nearest pair's direction, one metre per metre.
            const auto hi = at == line.begin() ? line.begin() + 1 : at == line.end() ? line.end() - 1 : at;
            const auto lo = hi - 1;
            const double slope = static_cast<double>(hi->second - lo->second) / (hi->first - lo->first);
            if (s < line.front().first) metre = line.front().second + (s - line.front().first) * (slope < 0 ? -1 : 1);
            else if (s > line.back().first) metre = line.back().second + (s - line.back().first) * (slope < 0 ? -1 : 1);
            else metre = lo->second + (s - lo->first) * slope;
        }
        out.push_back(static_cast<int32_t>(std::lround(metre)));
    }
    return out;
}
