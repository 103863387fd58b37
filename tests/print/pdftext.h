// SPDX-License-Identifier: GPL-3.0-or-later
// The text of a PDF page by page, as pdftotext gives it (table lines kept
// as lines), for the report tests.
#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

inline QStringList PdfPages(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

inline bool HavePdfToText() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }
