// SPDX-License-Identifier: GPL-3.0-or-later
#include "archivesession.h"

#include "archive/location.h"
#include "doc/dochost.h"
#include "doc/tredoc.h"
#include "doc/verdict.h"
#include "export/jsontext.h"
#include "export/verdictjson.h"
#include "import/surveyopen.h"
#include "pipeline/gpsbinding.h"
#include "pipeline/surveybinding.h"
#include "tresversion.h"

#include <nlohmann/json.hpp>

#include <filesystem>

using tresarchive::CArchiveError;
using tresarchive::EArchiveFault;

namespace {

// The survey read again from the bytes the archive keeps, tied to the data
// it is kept with: the rows stored are the file's, the verdict the window's.
struct SPrepared {
    CCollectingHost host;
    CTreDoc doc;
    std::optional<trespipeline::SSurveyBinding> binding;
    tresarchive::SNewSurvey survey;
};

void Prepare(const SArchiveSubmission& in, SPrepared& p)
{
    const std::string& name = in.fileName;
    p.doc.SetHost(&p.host);
    const bool read = tresimport::OpenSurveyBytes(p.doc, in.bytes, name, in.reading);
    p.doc.SetHost(nullptr);
    if (!read)
        throw CArchiveError(EArchiveFault::Other,
                            p.host.messages.empty() ? name + " lässt sich nicht lesen." : p.host.messages);
    if (!in.verdict || in.verdict->rows.size() != static_cast<size_t>(p.doc.GetRowCount()))
        throw CArchiveError(EArchiveFault::Other,
                            name + ": Die gespeicherte Datei hat andere Zeilen als die angezeigte Messung.");
    const tresexport::SAssessRequest& r = in.request;
    if (!in.pipelineText.empty()) {
        p.binding = trespipeline::BindSurveyToText(p.doc, in.pipelineText, r.pipeline, r.stretchTolerance, r.crs);
        if (!p.binding->ok) {
            std::string text = "Die Leitungsdaten " + r.pipeline + " lassen sich nicht verwenden:";
            for (const std::string& e : p.binding->errors) text += "\n" + e;
            throw CArchiveError(EArchiveFault::Other, text);
        }
    } else if (trespipeline::HasGpsTrack(p.doc)) {
        // Another logger's file stands on its own GPS track, as in the
        // window and as `archive add` stores it: its map layers get places.
        p.binding = trespipeline::BindSurveyToGps(p.doc, r.crs);
        if (!p.binding->ok) p.binding.reset();
    }
    const trespipeline::SSurveyBinding* binding = p.binding ? &*p.binding : nullptr;
    tresarchive::SNewSurvey& s = p.survey;
    s.fileName = name;
    s.bytes = in.bytes;
    s.reading = p.doc.Extras().reading;
    if (std::string error; !tresarchive::NameSurvey(p.doc, binding, in.date, s, error))
        throw CArchiveError(EArchiveFault::Other, name + ": " + error);
    tresarchive::SNewAssessment& a = s.assessment;
    a.doc = &p.doc;
    a.verdict = in.verdict.get();
    a.binding = binding;
    // The text `assess --json --rows` prints for the same words.
    const tresexport::SVerdictJsonInputs named{.native = r.native,
                                               .pipeline = binding ? r.pipeline : std::string(),
                                               .rows = true};
    a.json = jsontext::FileText(tresexport::VerdictJson(*in.verdict, named, binding));
    a.options = nlohmann::json(tresexport::AssessOptionWords(r)).dump();
    a.programVersion = TRES_VERSION;
    a.pipelineGeojson = binding ? in.pipelineText : std::string();
}

} // namespace

QString GermanDate(const std::string& iso)
{
    const QString s = QString::fromStdString(iso);
    return s.size() == 10 ? s.mid(8, 2) + QLatin1Char('.') + s.mid(5, 2) + QLatin1Char('.') + s.left(4) : s;
}

CArchiveSession::CArchiveSession(std::string location)
    : m_location(std::move(location))
{ }

CArchiveSession::~CArchiveSession() = default;

void CArchiveSession::SetLocation(const std::string& location)
{
    if (location == m_location) return;
    m_archive.reset();
    m_location = location;
}

QString CArchiveSession::ShownLocation() const
{
    return QString::fromStdString(m_location.empty() ? tresarchive::DefaultArchivePath()
                                                     : tresarchive::MaskedLocation(m_location));
}

SArchiveJobResult
CArchiveSession::Use(QWidget* parent, const QString& label,
                     const std::function<void(tresarchive::CArchive&, const tresarchive::ProgressFn&)>& work,
                     int showAfterMs)
{
    // A job is under way (asked for from within its own wait): the
    // connection is not shared with it.
    if (m_bBusy) return {false, false, QString::fromUtf8("Das Archiv ist noch mit einer anderen Arbeit beschäftigt.")};
    m_bBusy = true;
    SArchiveJobResult r = RunArchiveJob(
        parent, label,
        [&](const tresarchive::ProgressFn& progress) {
            if (!m_archive) m_archive = tresarchive::OpenArchive(m_location, true);
            work(*m_archive, progress);
        },
        showAfterMs);
    m_bBusy = false;
    // A connection that failed is opened afresh next time.
    if (!r.ok && !r.cancelled) m_archive.reset();
    return r;
}

SArchiveJobResult CArchiveSession::Add(QWidget* parent, const SArchiveSubmission& submission, QString& summary)
{
    std::string text;
    const QString label
        = QString::fromUtf8("%1 wird ins Archiv übernommen …").arg(QString::fromStdString(submission.fileName));
    SArchiveJobResult r = Use(
        parent, label,
        [&](tresarchive::CArchive& archive, const tresarchive::ProgressFn& progress) {
            // A file kept already is refused by the store before it writes anything.
            auto p = std::make_unique<SPrepared>();
            Prepare(submission, *p);
            const tresarchive::SAddedSurvey added = archive.AddSurvey(p->survey, progress);
            text = "Messung " + std::to_string(added.id) + ": " + submission.fileName + " (Leitung "
                   + tresarchive::PipelineTitle(p->survey.pipelineName, p->survey.pipelineNumber) + ", Datum "
                   + GermanDate(p->survey.date).toStdString() + ", " + std::to_string(added.rows) + " Zeilen, "
                   + std::to_string(added.defects) + " Fehlstellen)";
        },
        0);
    summary = QString::fromStdString(text);
    return r;
}

SArchiveJobResult CArchiveSession::List(QWidget* parent, std::vector<tresarchive::SPipelineEntry>& out)
{
    return Use(parent, QString::fromUtf8("Das Archiv wird gelesen …"),
               [&](tresarchive::CArchive& archive, const tresarchive::ProgressFn&) { out = archive.List(); });
}

SArchiveJobResult CArchiveSession::Survey(QWidget* parent, long long id, tresarchive::SStoredSurvey& out)
{
    return Use(parent, QString::fromUtf8("Die Messung wird aus dem Archiv gelesen …"),
               [&](tresarchive::CArchive& archive, const tresarchive::ProgressFn&) { out = archive.Survey(id); });
}

SArchiveJobResult CArchiveSession::Identify(QWidget* parent, const std::string& bytes, bool& found,
                                            tresarchive::SSurveyEntry& out)
{
    found = false;
    return Use(parent, QString::fromUtf8("Das Archiv wird gelesen …"),
               [&](tresarchive::CArchive& archive, const tresarchive::ProgressFn&) {
                   if (const auto e = archive.FindBySha256(tresarchive::Sha256Hex(bytes))) {
                       out = *e;
                       found = true;
                   }
               });
}

SArchiveJobResult CArchiveSession::Trend(QWidget* parent, const trestrend::STrendRequest& request,
                                         trestrend::SArchiveTrend& out)
{
    std::string error;
    SArchiveJobResult r = Use(parent, QString::fromUtf8("Die Messungen der Leitung werden gelesen …"),
                              [&](tresarchive::CArchive& archive, const tresarchive::ProgressFn&) {
                                  trestrend::LoadArchiveTrend(archive, request, out, error);
                              });
    if (r.ok && !error.empty()) return {false, false, QString::fromStdString(error)};
    return r;
}

SArchiveJobResult CArchiveSession::RecordDig(QWidget* parent, const tresarchive::SDigRecord& record)
{
    return Use(parent, QString::fromUtf8("Der Befund wird ins Archiv geschrieben …"),
               [&](tresarchive::CArchive& archive, const tresarchive::ProgressFn&) {
                   tresarchive::RecordDigFinding(archive, record);
               });
}

bool CArchiveSession::Check(QWidget* parent, const std::string& location, QString& text)
{
    const QString shown = QString::fromStdString(location.empty() ? tresarchive::DefaultArchivePath()
                                                                  : tresarchive::MaskedLocation(location));
    if (!tresarchive::IsConnectionString(location)) {
        const std::string path = location.empty() ? tresarchive::DefaultArchivePath() : location;
        if (!std::filesystem::exists(path)) {
            text = QString::fromUtf8("%1 gibt es noch nicht; das Archiv wird beim ersten „In Archiv übernehmen“ "
                                     "angelegt.")
                       .arg(shown);
            return true;
        }
    }
    size_t pipelines = 0, surveys = 0;
    std::string note;
    const SArchiveJobResult r = RunArchiveJob(parent, QString::fromUtf8("Verbindung zu %1 …").arg(shown),
                                              [&](const tresarchive::ProgressFn&) {
                                                  const auto archive = tresarchive::OpenArchive(location, false);
                                                  note = archive->State().note;
                                                  for (const tresarchive::SPipelineEntry& p : archive->List()) {
                                                      ++pipelines;
                                                      surveys += p.surveys.size();
                                                  }
                                              });
    if (r.cancelled) text = QStringLiteral("Abgebrochen.");
    else if (!r.ok) text = r.error;
    else
        text
            = QString::fromUtf8("Tresmon-Archiv %1: %2 Leitungen, %3 Messungen.").arg(shown).arg(pipelines).arg(surveys)
              + (note.empty() ? QString() : QLatin1Char('\n') + QString::fromStdString(note));
    return r.ok;
}
