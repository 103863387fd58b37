// SPDX-License-Identifier: GPL-3.0-or-later
#include "consoleseam.h"

#include <cstdio>

namespace {

void Tell(const QString& text)
{
    // One line per message, as the program's other errors on standard error.
    std::fprintf(stderr, "tresmon: %s\n", qPrintable(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))));
}

} // namespace

QString CConsoleSeam::OpenFileName(QWidget*, const QString&, const QString&, const QString&, const QString&)
{
    return {};
}

QString CConsoleSeam::OpenFileNameWithOption(QWidget*, const QString&, const QString&, const QString&, bool&)
{
    return {};
}

QString CConsoleSeam::SaveFileName(QWidget*, const QString&, const QString&, const QString&, const QString&)
{
    return {};
}

bool CConsoleSeam::ReportRequest(QWidget*, SReportRequest&) { return false; }

QMessageBox::StandardButton CConsoleSeam::Question(QWidget*, const QString& text, QMessageBox::StandardButtons buttons,
                                                   QMessageBox::StandardButton)
{
    // Cancel where it is offered, else No: nothing is saved or overwritten.
    const QMessageBox::StandardButton answer = buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel
                                               : buttons.testFlag(QMessageBox::No)   ? QMessageBox::No
                                                                                     : QMessageBox::Ok;
    Tell(text);
    return answer;
}

void CConsoleSeam::Message(QWidget*, const QString& text, QMessageBox::Icon icon)
{
    if (icon == QMessageBox::Warning || icon == QMessageBox::Critical) ++m_nErrors;
    Tell(text);
}
