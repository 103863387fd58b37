// SPDX-License-Identifier: GPL-3.0-or-later
// The curve panes' row cursor in the main window: the row under the pointer
// is named in the status bar and marked in both panes, a click on a curve
// chooses that row in the table, and the table's current row is marked in
// both panes while the pointer is elsewhere.
#include "mainframe.h"

#include "cursorstatus.h"
#include "doc/tredoc.h"
#include "print/reportfigures.h"
#include "print/reportsettings.h"
#include "views/curvepane.h"
#include "views/tableview.h"

#include <QItemSelectionModel>
#include <QStatusBar>

#include <cmath>
#include <limits>

void CMainFrame::createCursorLinks()
{
    for (CTrePrintView* pane : {m_pUpper, m_pLower}) {
        connect(pane, &CTrePrintView::RowHovered, this, [this, pane](int row) { OnCurveRowHovered(pane, row); });
        connect(pane, &CTrePrintView::RowClicked, this, [this](int row) { m_pTable->SelectRows(row, row); });
    }
    connect(m_pTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (m_nHoverRow == 0) ShowCursorRow(TableCursorRow());
    });
}

int CMainFrame::TableCursorRow() const
{
    const QModelIndex current = m_pTable->selectionModel()->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void CMainFrame::ShowCursorRow(int row)
{
    for (CTrePrintView* pane : {m_pUpper, m_pLower}) pane->SetCursorRow(row);
}

void CMainFrame::OnCurveRowHovered(CTrePrintView* pane, int row)
{
    m_nHoverRow = row;
    if (row == 0) {
        statusBar()->clearMessage();
        ShowCursorRow(TableCursorRow());
        return;
    }
    ShowCursorRow(row);
    // The chainage the session's binding gives the row, as the panes draw it.
    const std::shared_ptr<const std::vector<double>> chainages = Pipeline().Chainages();
    double chainage = std::numeric_limits<double>::quiet_NaN();
    if (chainages && static_cast<size_t>(row) <= chainages->size())
        chainage = (*chainages)[static_cast<size_t>(row - 1)];
    statusBar()->showMessage(
        CursorStatusText(m_doc, row, pane->IsGradientPane(), chainages != nullptr, chainage, m_sCursorElectrode));
}

void CMainFrame::UpdateCursorElectrode()
{
    m_sCursorElectrode = QString::fromStdString(reportfigures::ReferenceElectrode(
        reportfigures::DeviceEntries(m_doc), ReadReportSettings().electrode.toStdString()));
}

void CMainFrame::OnViewFit()
{
    if (!m_doc.m_bEmpty) m_pUpper->FitWholeSurvey();
}
