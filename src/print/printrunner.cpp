#include "printrunner.h"

#include "printjob.h"

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

bool CPrintRunner::Preview(QWidget* parent, QPrinter& printer, IPrintHooks& hooks)
{
    QPrintPreviewDialog dlg(&printer, parent);
    dlg.setWindowTitle(QStringLiteral("Seitenansicht"));
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg,
                     [&hooks](QPrinter* p) { RunPrintJob(*p, hooks, true); });
    // The preview's own print button ends it with "accepted".
    return dlg.exec() == QDialog::Accepted;
}

int CPrintRunner::Print(QWidget* parent, QPrinter& printer, IPrintHooks& hooks, const QString& pdfName)
{
    if (QPrinterInfo::availablePrinters().isEmpty() && printer.outputFormat() == QPrinter::NativeFormat) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfName);
    }
    const int pages = hooks.OnPreparePrinting(false);
    QPrintDialog dlg(&printer, parent);
    dlg.setWindowTitle(QStringLiteral("Drucken"));
    dlg.setMinMax(1, pages);
    dlg.setFromTo(1, pages);
    if (dlg.exec() != QDialog::Accepted) return 0;
    return RunPrintJob(printer, hooks, false);
}
