// SPDX-License-Identifier: GPL-3.0-or-later
#include "panejob.h"

#include "print/reportsettings.h"
#include "views/curvepane.h"

#include <QDate>

CPanePrintJob::CPanePrintJob(const CTrePrintView& pane, const CTreDoc& doc, std::function<void()> beforePrinting)
    : m_pane(pane)
    , m_doc(doc)
    , m_fnBeforePrinting(std::move(beforePrinting))
{ }

CPanePrintJob::~CPanePrintJob() = default;

EPrintKind CPanePrintJob::Kind() const { return m_pane.IsGradientPane() ? EPrintKind::Table : EPrintKind::Graphic; }

int CPanePrintJob::OnPreparePrinting(bool preview)
{
    if (!preview && m_fnBeforePrinting) m_fnBeforePrinting();
    CPrintContext ctx;
    ctx.plotLogo = m_pane.HasPlotLogo() ? &m_pane.PlotLogo() : nullptr;
    ctx.tableLogo = m_pane.HasTableLogo() ? &m_pane.TableLogo() : nullptr;
    ctx.installationLabel = DefaultInstallationLabel();
    ctx.company = ReadReportSettings().company;
    ctx.today = QDate::currentDate();
    m_pJob = std::make_unique<CPrintJob>(Kind(), m_doc, ctx);
    return m_pJob->OnPreparePrinting(preview);
}

void CPanePrintJob::OnBeginPrinting(QPainter& p, const CPrintMetrics& m)
{
    if (!m_pJob) OnPreparePrinting(true);
    m_pJob->OnBeginPrinting(p, m);
}

void CPanePrintJob::OnPrint(QPainter& p, int page)
{
    if (m_pJob) m_pJob->OnPrint(p, page);
}

void CPanePrintJob::OnEndPrinting()
{
    if (m_pJob) m_pJob->OnEndPrinting();
}
