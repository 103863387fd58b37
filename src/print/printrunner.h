// SPDX-License-Identifier: GPL-3.0-or-later
// Where a print job meets the user: the print preview window, the print
// dialog and the question before more than kPageLimit pages. Tests install
// their own runner so no window waits for a person.
#pragma once

#include <QString>

#include <functional>

class IPrintHooks;
class QPrinter;
class QWidget;

class CPrintRunner {
public:
    virtual ~CPrintRunner() = default;

    // Asked before an existing file is overwritten; false keeps the file.
    using OverwriteCheck = std::function<bool(const QString& file)>;

    // Shows the preview of the job until the user closes it; true when the
    // user printed from the preview. Without a configured printer its print
    // button offers `pdfName`. A job of more than kPageLimit pages is shown
    // only when the user agrees.
    virtual bool Preview(QWidget* parent, QPrinter& printer, IPrintHooks& hooks, const QString& pdfName);
    // With a configured printer: the print dialog, then the job. Without
    // one there is nowhere to print but a file, so the job goes straight to
    // the PDF file `pdfName`; a file already there is overwritten only when
    // `mayOverwrite` agrees. More than kPageLimit pages (of the range chosen
    // in the dialog) are printed only when the user agrees. Returns the
    // pages printed, 0 when the user cancelled, kept the file or did not
    // want the pages, -1 on failure.
    virtual int Print(QWidget* parent, QPrinter& printer, IPrintHooks& hooks, const QString& pdfName,
                      const OverwriteCheck& mayOverwrite);

    // Whether the system has a printer to print on.
    virtual bool HasPrinter() const;
    // The print dialog for a document whose pages are not counted yet
    // (the assessment report); false when the user cancelled it.
    bool ChoosePrinter(QWidget* parent, QPrinter& printer) { return ExecPrintDialog(parent, printer, 0); }

    // The runner in use; never null.
    static CPrintRunner& Current();
    // Installs `runner` (nullptr restores the real windows); returns the old one.
    static CPrintRunner* Install(CPrintRunner* runner);

protected:
    // The print dialog over `pages` pages (0: not counted); false when the
    // user cancelled it.
    virtual bool ExecPrintDialog(QWidget* parent, QPrinter& printer, int pages);
    // The question before a job of `pages` pages, more than kPageLimit
    // ("Der Ausdruck hätte n Seiten. Trotzdem drucken?", default "Nein");
    // true when the user wants them.
    virtual bool ConfirmManyPages(QWidget* parent, int pages, bool preview);

    // The question's text.
    static QString ManyPagesQuestion(int pages, bool preview);
};
