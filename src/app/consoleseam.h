// SPDX-License-Identifier: GPL-3.0-or-later
// The dialogs of a run nobody sits at (tresmon --screenshot): a message
// box would wait for a click that never comes, so messages go to standard
// error instead, questions take the answer that changes nothing, and file
// dialogs are cancelled. Warnings and errors are counted, so the run can
// end with a non-zero status.
#pragma once

#include "ui/uiseam.h"

class CConsoleSeam : public CUiSeam {
public:
    QString OpenFileName(QWidget* parent, const QString& title, const QString& initial, const QString& filter,
                         const QString& suffix) override;
    QString OpenFileNameWithOption(QWidget* parent, const QString& title, const QString& initial, const QString& option,
                                   bool& checked) override;
    QString SaveFileName(QWidget* parent, const QString& title, const QString& initial, const QString& filter,
                         const QString& suffix) override;
    bool ReportRequest(QWidget* parent, SReportRequest& request) override;
    QMessageBox::StandardButton Question(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton) override;
    void Message(QWidget* parent, const QString& text, QMessageBox::Icon icon) override;

    // Warnings and errors told so far.
    int Errors() const { return m_nErrors; }

private:
    int m_nErrors = 0;
};
