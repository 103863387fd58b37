// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's print commands: the table's and the graphic's option
// sheets, their preview cycle, the print without asking, and the printer.
#include "mainframe.h"

#include "doc/tredoc.h"
#include "panejob.h"
#include "print/graphiclayout.h"
#include "print/graphicsheet.h"
#include "print/printrunner.h"
#include "print/tablesheet.h"
#include "ui/uiseam.h"
#include "views/curvepane.h"

#include <QDir>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>

void CMainFrame::createPrintTimers()
{
    for (int i = 0; i < 2; ++i) {
        m_pPrintTimers[i] = new QTimer(this);
        m_pPrintTimers[i]->setInterval(200);
        connect(m_pPrintTimers[i], &QTimer::timeout, this, [this, i] { OnPrintTimer(i + 1); });
    }
}

void CMainFrame::OnFilePrintSetup()
{
    if (!m_setup.printer) return;
    QPageSetupDialog dlg(m_setup.printer, this);
    dlg.setWindowTitle(QStringLiteral("Druckereinrichtung"));
    dlg.exec();
}

namespace {

// The printer is shared by both printouts and the page setup: each print
// turns the paper the way its own printout is laid out, whatever the one
// before it left.
void TurnPaperFor(QPrinter& printer, EPrintKind kind)
{
    printer.setPageOrientation(IsLandscape(kind) ? QPageLayout::Landscape : QPageLayout::Portrait);
}

} // namespace

void CMainFrame::PrintPane(CTrePrintView* pane)
{
    CPanePrintJob job(*pane, m_doc, [this] { StopPrintTimers(); });
    TurnPaperFor(PrintPrinter(), job.Kind());
    const auto mayOverwrite = [this](const QString& file) {
        return CUiSeam::Current().Question(this,
                                           QStringLiteral("Die Datei ") + QDir::toNativeSeparators(file)
                                               + QStringLiteral(" existiert bereits.\n\nDatei überschreiben ?"),
                                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               == QMessageBox::Yes;
    };
    const int pages = CPrintRunner::Current().Print(
        this, PrintPrinter(), job, OutputName(QStringLiteral(".pdf"), QStringLiteral("Tresmon.pdf")), mayOverwrite);
    if (pages < 0) {
        CUiSeam::Current().Message(this, QStringLiteral("Der Druckauftrag konnte nicht ausgeführt werden."),
                                   QMessageBox::Warning);
    } else if (pages > 0 && PrintPrinter().outputFormat() == QPrinter::PdfFormat) {
        // Nothing else shows where the pages went.
        const QString pdf = PrintPrinter().outputFileName();
        ShowWritten(QStringLiteral("Gedruckt in ") + QDir::toNativeSeparators(pdf), pdf);
    }
}

QPrinter& CMainFrame::PrintPrinter()
{
    if (m_setup.printer) return *m_setup.printer;
    if (!m_pOwnPrinter) m_pOwnPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_pOwnPrinter;
}

void CMainFrame::StopPrintTimers()
{
    for (QTimer* t : m_pPrintTimers) t->stop();
}

bool CMainFrame::IsPrintTimerActive(int id) const { return id >= 1 && id <= 2 && m_pPrintTimers[id - 1]->isActive(); }

namespace {

// A print's option sheet on the document's values; the accepted ones go
// back as one undo step. False when it was cancelled.
template <class TSheet> bool RunSheet(TSheet& sheet, CTreDoc& doc, EStepKind kind)
{
    sheet.SetMessageHandler(
        [](QWidget* parent, const QString& text) { CUiSeam::Current().Message(parent, text, QMessageBox::Warning); });
    sheet.LoadFromDoc(doc);
    if (sheet.exec() != QDialog::Accepted) return false;
    doc.ChangeFields(kind, [&sheet](CTreDoc& d) { sheet.StoreToDoc(d); });
    return true;
}

} // namespace

void CMainFrame::OnPrintGraphic()
{
    if (m_doc.m_bEmpty) return;
    TurnPaperFor(PrintPrinter(), EPrintKind::Graphic);
    HeaderBarToDoc(m_doc);
    SetActivePane(2);
    graphiclayout::ApplyRangeDefaults(m_doc);
    CTrePlotDruckPS sheet(this);
    if (!RunSheet(sheet, m_doc, EStepKind::GraphicPrint)) return;
    AfterPrintSheet(m_pLower, sheet.m_bPreview, sheet.m_bPrint, 1);
}

void CMainFrame::OnPrintTable()
{
    if (m_doc.m_bEmpty) return;
    TurnPaperFor(PrintPrinter(), EPrintKind::Table);
    HeaderBarToDoc(m_doc);
    SetActivePane(0);
    CTreTabDruckPS sheet(this);
    if (!RunSheet(sheet, m_doc, EStepKind::TablePrint)) return;
    AfterPrintSheet(m_pUpper, sheet.m_bPreview, sheet.m_bPrint, 2);
}

void CMainFrame::AfterPrintSheet(CTrePrintView* pane, bool preview, bool print, int timerId)
{
    if (preview) {
        m_pPrintTimers[timerId - 1]->start();
        m_bPreviewActive = true;
        // Printing from the preview ends the cycle, as a print does.
        CPanePrintJob job(*pane, m_doc, [this] { StopPrintTimers(); });
        TurnPaperFor(PrintPrinter(), job.Kind());
        const bool printed = CPrintRunner::Current().Preview(
            this, PrintPrinter(), job, OutputName(QStringLiteral(".pdf"), QStringLiteral("Tresmon.pdf")));
        m_bPreviewActive = false;
        if (printed) StopPrintTimers();
    } else if (print) {
        PrintPane(pane);
    }
}

void CMainFrame::OnPrintTimer(int id)
{
    if (id < 1 || id > 2 || m_bPreviewActive) return;
    m_pPrintTimers[id - 1]->stop();
    if (id == 1) OnPrintGraphic();
    else OnPrintTable();
}

void CMainFrame::OnFilePrint()
{
    if (m_doc.m_bEmpty) return;
    // The upper pane carries the table's printout, the lower the graphic's;
    // from the table itself, the table's.
    CTrePrintView* pane = m_nActivePane == 2 ? m_pLower : m_pUpper;
    if (pane->Kind() == 0) return;
    PrintPane(pane);
}
