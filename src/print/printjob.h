// SPDX-License-Identifier: GPL-3.0-or-later
// One print job of either printout, and the loop that drives a job's hooks
// on a printer the way the framework's print and preview do: prepare (page
// count), begin, one call per page, end. The program's panes, the preview
// and the batch tool all print through this one loop.
#pragma once

#include "printframe.h"

#include <memory>

class CGraphicPrint;
class CTablePrint;
class CTreDoc;
class QPainter;
class QPrinter;

enum class EPrintKind { Graphic, Table };

// The four print hooks of a curve pane.
class IPrintHooks {
public:
    virtual ~IPrintHooks() = default;
    // Returns the number of pages (at least 1).
    virtual int OnPreparePrinting(bool preview) = 0;
    virtual void OnBeginPrinting(QPainter& p, const CPrintMetrics& m) = 0;
    virtual void OnPrint(QPainter& p, int page) = 0;
    virtual void OnEndPrinting() = 0;
};

// A job of one kind over a document; also the hooks a pane forwards to.
class CPrintJob : public IPrintHooks {
public:
    CPrintJob(EPrintKind kind, const CTreDoc& doc, const CPrintContext& ctx);
    ~CPrintJob() override;

    int OnPreparePrinting(bool preview) override;
    void OnBeginPrinting(QPainter& p, const CPrintMetrics& m) override;
    void OnPrint(QPainter& p, int page) override;
    void OnEndPrinting() override;

    EPrintKind Kind() const { return m_kind; }
    const CGraphicPrint* Graphic() const { return m_pGraphic.get(); }
    const CTablePrint* Table() const { return m_pTable.get(); }

private:
    EPrintKind m_kind;
    const CTreDoc& m_doc;
    CPrintContext m_ctx;
    std::unique_ptr<CGraphicPrint> m_pGraphic;
    std::unique_ptr<CTablePrint> m_pTable;
};

// Prints the job's pages on `printer` (the printer's page range if one is
// set, else all); returns the number of pages printed, or -1 when the
// printer cannot be opened (for example an output file that cannot be
// written).
int RunPrintJob(QPrinter& printer, IPrintHooks& hooks, bool preview = false);

// How many of a job's `pages` RunPrintJob prints on `printer`.
int PagesToPrint(const QPrinter& printer, int pages);

// More pages than this are printed only on request: the program asks
// first, the tool wants --max-pages. A metre range typed wrong or read from
// a damaged file would otherwise send tens of thousands of pages out.
inline constexpr int kPageLimit = 1000;

// The orientation each printout is laid out for.
bool IsLandscape(EPrintKind kind);
