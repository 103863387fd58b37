// SPDX-License-Identifier: GPL-3.0-or-later
// The printout a curve pane stands for: the gradient pane prints the table,
// the potential pane the graphic print, with the logos the pane loaded. The
// job is built when the print is prepared, as a print or a preview asks for
// it, so it always prints the document as it is then.
#pragma once

#include "print/printjob.h"

#include <functional>
#include <memory>

class CTrePrintView;
class CTreDoc;

class CPanePrintJob : public IPrintHooks {
public:
    // `beforePrinting` runs when a print (not a preview) is prepared.
    CPanePrintJob(const CTrePrintView& pane, const CTreDoc& doc, std::function<void()> beforePrinting = {});
    ~CPanePrintJob() override;

    EPrintKind Kind() const;

    int OnPreparePrinting(bool preview) override;
    void OnBeginPrinting(QPainter& p, const CPrintMetrics& m) override;
    void OnPrint(QPainter& p, int page) override;
    void OnEndPrinting() override;

private:
    const CTrePrintView& m_pane;
    const CTreDoc& m_doc;
    std::function<void()> m_fnBeforePrinting;
    std::unique_ptr<CPrintJob> m_pJob;
};
