// SPDX-License-Identifier: GPL-3.0-or-later
// The program's side of the pipeline archive: where it lives (the program's
// settings, empty for the default file), the one open connection to it, and
// the work the menu "Archiv" asks of it, each run off the GUI thread under
// a progress dialog (archivejob.h). The main window only wires the menu to
// this and shows what it gives back.
#pragma once

#include "archivejob.h"

#include "archive/digfinding.h"
#include "archive/store.h"
#include "export/assesswords.h"
#include "trend/archivetrend.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

class QWidget;
struct SVerdict;

// What "In Archiv übernehmen" hands over: the file as saved, and the
// assessment the "Bewertung" window shows with what it was asked for.
struct SArchiveSubmission {
    std::string fileName; // without folders, as lists show it
    std::string bytes;
    std::shared_ptr<const SVerdict> verdict;
    // The pipeline data's bytes as the survey was tied to them (their file
    // in request.pipeline); empty: none.
    std::string pipelineText;
    tresexport::SAssessRequest request;
    std::string date; // YYYY-MM-DD; empty: header entry 1
    // How the shown survey was read (CSurveyExtras::reading): the file is
    // read again for the archive exactly so.
    std::string reading;
};

class CArchiveSession {
public:
    explicit CArchiveSession(std::string location = {});
    ~CArchiveSession();

    // Another location closes the connection to the old one.
    void SetLocation(const std::string& location);
    const std::string& Location() const { return m_location; }
    // As messages show it: masked, or the default file's path.
    QString ShownLocation() const;

    // Adds the survey; `summary` then says what was stored ("Messung 3: …").
    SArchiveJobResult Add(QWidget* parent, const SArchiveSubmission& submission, QString& summary);
    SArchiveJobResult List(QWidget* parent, std::vector<tresarchive::SPipelineEntry>& out);
    SArchiveJobResult Survey(QWidget* parent, long long id, tresarchive::SStoredSurvey& out);
    // The survey kept with these bytes, if any (`found` false: none).
    SArchiveJobResult Identify(QWidget* parent, const std::string& bytes, bool& found, tresarchive::SSurveyEntry& out);
    // The trend's input for a pipeline; a request no pipeline answers is a
    // failure with the loader's reason.
    SArchiveJobResult Trend(QWidget* parent, const trestrend::STrendRequest& request, trestrend::SArchiveTrend& out);
    SArchiveJobResult RecordDig(QWidget* parent, const tresarchive::SDigRecord& record);

    // Opens `location` on its own connection and says what it found there,
    // or why it cannot be used; false with the reason.
    static bool Check(QWidget* parent, const std::string& location, QString& text);

private:
    SArchiveJobResult Use(QWidget* parent, const QString& label,
                          const std::function<void(tresarchive::CArchive&, const tresarchive::ProgressFn&)>& work,
                          int showAfterMs = 400);

    std::string m_location;
    std::unique_ptr<tresarchive::CArchive> m_archive;
    bool m_bBusy = false;
};

// "12.05.2025" of "2025-05-12".
QString GermanDate(const std::string& iso);
