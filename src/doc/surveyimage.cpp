// SPDX-License-Identifier: GPL-3.0-or-later
// The document taking a survey a reader found: in place of its own, or
// behind its rows.
#include "surveyimage.h"

#include "numtext.h"
#include "tredoc.h"
#include "undosteps.h"

void CTreDoc::Replace(CSurveyImage&& image)
{
    m_bRefitPot = m_bRefitGrad = true;
    ResetToDefaults();
    // Nothing of the survey before may stay: a file with fewer header lines
    // or without a QM line would be saved with the other one's.
    m_header = std::move(image.header);
    m_qm = std::move(image.qm);
    m_rows = std::move(image.rows);
    m_extras = std::move(image.extras);
    TakeSettings(image);
    StartHistory();
    ShowTaken();
}

void CTreDoc::Append(CSurveyImage&& image)
{
    // What an append changes besides the rows, for its undo step.
    const CDocFields fieldsBefore = CDocFields::Of(*this);
    const int rowsBefore = GetRowCount();
    m_bRefitPot = m_bRefitGrad = true;
    // The appended file's extras go behind those held already; its rows
    // name theirs there.
    if (!image.extras.rows.empty()) {
        const auto offset = static_cast<uint32_t>(m_extras.rows.size());
        for (CMeasRow& row : image.rows)
            if (row.m_nSource > 0) row.m_nSource += offset;
        m_extras.rows.insert(m_extras.rows.end(), std::make_move_iterator(image.extras.rows.begin()),
                             std::make_move_iterator(image.extras.rows.end()));
    }
    if (m_rows.empty()) {
        m_rows = std::move(image.rows);
    } else {
        m_rows.insert(m_rows.end(), std::make_move_iterator(image.rows.begin()),
                      std::make_move_iterator(image.rows.end()));
    }
    TakeSettings(image);
    // An appended survey exists nowhere on disk yet: as a step it sets the
    // modified mark, so it is not lost without a save prompt.
    Record(undosteps::RowsAdded(EStepKind::Append, static_cast<uint32_t>(rowsBefore),
                                static_cast<uint32_t>(GetRowCount() - rowsBefore),
                                CFieldChanges::Between(fieldsBefore, *this)));
    ShowTaken();
}

void CTreDoc::TakeSettings(const CSurveyImage& image)
{
    if (const int last = LastRowWithMetre()) m_header[6] = tresnum::FormatInt(GetMeter(last));
    for (const CSurveyImage::CLimit& l : image.limits) {
        m_limits[l.k] = l.lower;
        m_limits[l.k + 12] = l.upper;
    }
    for (const auto& [which, on] : image.switches) {
        switch (which) {
        case EPrintSwitch::TableIR: m_bTabIR = on; break;
        case EPrintSwitch::TableQM: m_bTabQM = on; break;
        case EPrintSwitch::TableArial: m_bTabArial = on; break;
        case EPrintSwitch::TableLinesGW: m_bTabLinesGW = on; break;
        case EPrintSwitch::HeadNumber: m_bTabHeadNumber = m_bPlotHeadNumber = on; break;
        case EPrintSwitch::PlotIR: m_bPlotIR = on; break;
        case EPrintSwitch::PlotQM: m_bPlotQM = on; break;
        case EPrintSwitch::PlotGradOn: m_bPlotGradOn = on; break;
        case EPrintSwitch::PlotGradOff: m_bPlotGradOff = on; break;
        case EPrintSwitch::PlotGradDiff: m_bPlotGradDiff = on; break;
        }
    }
}

void CTreDoc::ShowTaken()
{
    m_pHost->DocToHeaderBar(*this);
    m_bEmpty = false;
    m_nViewCounter = 0;
    UpdateAllViews();
}
