// Where a print job meets the user: the print preview window and the print
// dialog. Tests install their own runner so no window waits for a person.
#pragma once

#include <QString>

class IPrintHooks;
class QPrinter;
class QWidget;

class CPrintRunner {
public:
    virtual ~CPrintRunner() = default;

    // Shows the preview of the job until the user closes it; true when the
    // user printed from the preview.
    virtual bool Preview(QWidget* parent, QPrinter& printer, IPrintHooks& hooks);
    // The print dialog, then the job. Without a configured printer the
    // output goes to a PDF file, `pdfName` unless the user picks another.
    // Returns the pages printed, 0 when the user cancelled, -1 on failure.
    virtual int Print(QWidget* parent, QPrinter& printer, IPrintHooks& hooks, const QString& pdfName);

    // The runner in use; never null.
    static CPrintRunner& Current();
    // Installs `runner` (nullptr restores the real windows); returns the old one.
    static CPrintRunner* Install(CPrintRunner* runner);
};
