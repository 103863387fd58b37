// SPDX-License-Identifier: GPL-3.0-or-later
#include "printrunner.h"

#include "printjob.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
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
    if (pages > 0) {
        dlg.setMinMax(1, pages);
        dlg.setFromTo(1, pages);
    }
    return dlg.exec() == QDialog::Accepted;
}

QString CPrintRunner::ManyPagesQuestion(int pages, bool preview)
{
    const char* then = preview ? "Trotzdem in der Seitenansicht zeigen?" : "Trotzdem drucken?";
    return QString::fromUtf8("Der Ausdruck hätte %1 Seiten. %2")
        .arg(QLocale(QLocale::German).toString(pages), QString::fromUtf8(then));
}

bool CPrintRunner::ConfirmManyPages(QWidget* parent, int pages, bool preview)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), ManyPagesQuestion(pages, preview),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
    return box.exec() == QMessageBox::Yes;
}

bool CPrintRunner::Preview(QWidget* parent, QPrinter& printer, IPrintHooks& hooks, const QString& pdfName)
{
    // The preview draws every page as it opens.
    const int pages = hooks.OnPreparePrinting(true);
    if (pages > kPageLimit && !ConfirmManyPages(parent, pages, true)) return false;
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
        // Counted as the preview counts them: the print itself is prepared
        // by RunPrintJob, and only when it goes ahead.
        const int pages = hooks.OnPreparePrinting(true);
        if (pages > kPageLimit && !ConfirmManyPages(parent, pages, false)) return 0;
        return RunPrintJob(printer, hooks, false);
    }
    const int pages = hooks.OnPreparePrinting(false);
    if (!ExecPrintDialog(parent, printer, pages)) return 0;
    const int chosen = PagesToPrint(printer, pages);
    if (chosen > kPageLimit && !ConfirmManyPages(parent, chosen, false)) return 0;
    return RunPrintJob(printer, hooks, false);
}
