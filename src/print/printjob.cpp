// SPDX-License-Identifier: GPL-3.0-or-later
#include "printjob.h"

#include "graphicprint.h"
#include "tableprint.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>

CPrintJob::CPrintJob(EPrintKind kind, const CTreDoc& doc, const CPrintContext& ctx)
    : m_kind(kind)
    , m_doc(doc)
    , m_ctx(ctx)
{ }

CPrintJob::~CPrintJob() = default;

int CPrintJob::OnPreparePrinting(bool)
{
    if (m_kind == EPrintKind::Graphic) return CGraphicPrint(m_doc, m_ctx).PageCount();
    return CTablePrint(m_doc, m_ctx).PageCount();
}

void CPrintJob::OnBeginPrinting(QPainter& p, const CPrintMetrics& m)
{
    if (m_kind == EPrintKind::Graphic) {
        m_pGraphic = std::make_unique<CGraphicPrint>(m_doc, m_ctx);
        m_pGraphic->Begin(m);
    } else {
        m_pTable = std::make_unique<CTablePrint>(m_doc, m_ctx);
        m_pTable->Begin(p, m);
    }
}

void CPrintJob::OnPrint(QPainter& p, int page)
{
    if (m_pGraphic) m_pGraphic->PrintPage(p, page);
    else if (m_pTable) m_pTable->PrintPage(p, page);
}

void CPrintJob::OnEndPrinting()
{
    m_pGraphic.reset();
    m_pTable.reset();
}

namespace {

struct SPageSpan {
    int from, to;
};

SPageSpan PageSpan(const QPrinter& printer, int pages)
{
    pages = std::max(1, pages);
    if (printer.printRange() != QPrinter::PageRange || printer.fromPage() <= 0) return {1, pages};
    const int from = std::clamp(printer.fromPage(), 1, pages);
    return {from, std::clamp(printer.toPage() > 0 ? printer.toPage() : pages, from, pages)};
}

} // namespace

int PagesToPrint(const QPrinter& printer, int pages)
{
    const SPageSpan span = PageSpan(printer, pages);
    return span.to - span.from + 1;
}

int RunPrintJob(QPrinter& printer, IPrintHooks& hooks, bool preview)
{
    const auto [from, to] = PageSpan(printer, hooks.OnPreparePrinting(preview));
    QPainter p;
    if (!p.begin(&printer)) return -1;
    hooks.OnBeginPrinting(p, MeasurePrinter(printer));
    int printed = 0;
    for (int page = from; page <= to; ++page) {
        if (page > from && !printer.newPage()) break;
        hooks.OnPrint(p, page);
        ++printed;
    }
    hooks.OnEndPrinting();
    p.end();
    return printed;
}

bool IsLandscape(EPrintKind kind) { return kind == EPrintKind::Graphic; }
