// SPDX-License-Identifier: GPL-3.0-or-later
// The places where the program waits for the user outside its own windows:
// file dialogs, message boxes, the report's questions and the desktop's
// program for a written file. Tests install their own answers here.
#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;
struct SListQuestion;
struct SReportRequest;

class CUiSeam {
public:
    virtual ~CUiSeam() = default;

    // Empty string: the user cancelled. The open dialog with its own
    // `filter` and the `suffix` added to a name typed without one: a survey
    // dialog never offers pipeline data, nor the other way round.
    virtual QString OpenFileName(QWidget* parent, const QString& title, const QString& initial, const QString& filter,
                                 const QString& suffix);
    // The open dialog with one check box among its options, `checked` both
    // its start and what the user left it at (unchanged on cancel).
    virtual QString OpenFileNameWithOption(QWidget* parent, const QString& title, const QString& initial,
                                           const QString& option, bool& checked);
    // The save dialog with its own `filter` ("PDF-Dateien (*.pdf)") and the
    // `suffix` added to a name typed without one ("pdf"), so a report
    // typed over a survey's name becomes a PDF beside it.
    virtual QString SaveFileName(QWidget* parent, const QString& title, const QString& initial, const QString& filter,
                                 const QString& suffix);
    // The report's number, revision and section length, starting from
    // `request` and left in it; false: the user cancelled.
    virtual bool ReportRequest(QWidget* parent, SReportRequest& request);
    // "Yes", "No" or "Cancel".
    virtual QMessageBox::StandardButton Question(QWidget* parent, const QString& text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    virtual void Message(QWidget* parent, const QString& text, QMessageBox::Icon icon);
    // Opens `file` with the desktop's program for its kind; false when none
    // could be started.
    virtual bool OpenFile(const QString& file);
    // A question with every one of its items in a list (listquestion.h).
    virtual QMessageBox::StandardButton ListQuestion(QWidget* parent, const SListQuestion& question,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton);

    // The seam in use; never null.
    static CUiSeam& Current();
    // Installs `seam` (nullptr restores the real dialogs); returns the old one.
    static CUiSeam* Install(CUiSeam* seam);

    // The filter of the surveys' file dialogs: one line per format the
    // readers know (import's registry), then all files; the one of PDF
    // files; and the one of pipeline data (GeoJSON).
    static QString FileFilter();
    // The ending a survey's name gets when typed without one: the program's
    // own format's ("tsd").
    static QString SurveySuffix();
    static QString PdfFilter();
    static QString PipelineFilter();
};
