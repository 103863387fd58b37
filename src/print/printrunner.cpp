// SPDX-License-Identifier: GPL-3.0-or-later
#include "printrunner.h"

#include "printjob.h"

#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
CPrintRunner g_realRunner;
CPrintRunner* g_pRunner = &g_realRunner;
} // namespace

CPrintRunner& CPrintRunner::Current() { return *g_pRunner; }

CPrintRunner* CPrintRunner::Install(CPrintRunner* runner)
{
    CPrintRunner* old = g_pRunner;
    g_pRunner = runner ? runner : &g_realRunner;
    return old;
}

namespace {

void PrintToPdf(QPrinter& printer, const QString& pdfName)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfName);
}

} // namespace

bool CPrintRunner::HasPrinter() const { return !QPrinterInfo::availablePrinters().isEmpty(); }

bool CPrintRunner::ExecPrintDialog(QWidget* parent, QPrinter& printer, int pages)
{
    QPrintDialog dlg(&printer, parent);
    dlg.setWindowTitle(QStringLiteral("Drucken"));
    dlg.setMinMax(1, pages);
    dlg.setFromTo(1, pages);
    return dlg.exec() == QDialog::Accepted;
}

bool CPrintRunner::Preview(QWidget* parent, QPrinter& printer, IPrintHooks& hooks, const QString& pdfName)
{
    // Without a name Qt would offer print.pdf in the home folder.
    if (!HasPrinter()) PrintToPdf(printer, pdfName);
    QPrintPreviewDialog dlg(&printer, parent);
    dlg.setWindowTitle(QStringLiteral("Seitenansicht"));
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg,
                     [&hooks](QPrinter* p) { RunPrintJob(*p, hooks, true); });
    // The preview's own print button ends it with "accepted".
    return dlg.exec() == QDialog::Accepted;
}

int CPrintRunner::Print(QWidget* parent, QPrinter& printer, IPrintHooks& hooks, const QString& pdfName,
                        const OverwriteCheck& mayOverwrite)
{
    if (!HasPrinter()) {
        PrintToPdf(printer, pdfName);
        printer.setPrintRange(QPrinter::AllPages);
        if (QFileInfo::exists(pdfName) && !(mayOverwrite && mayOverwrite(pdfName))) return 0;
        return RunPrintJob(printer, hooks, false);
    }
    const int pages = hooks.OnPreparePrinting(false);
    if (!ExecPrintDialog(parent, printer, pages)) return 0;
    return RunPrintJob(printer, hooks, false);
}
