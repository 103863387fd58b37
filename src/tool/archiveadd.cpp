// SPDX-License-Identifier: GPL-3.0-or-later
// `archive add` and `archive reassess`: a survey read, tied and assessed as
// `assess --json --rows` does it, then kept with that very text.
#include "archivecommon.h"
#include "assessrun.h"
#include "toolhost.h"

#include "doc/fileerror.h"
#include "doc/replacefile.h"
#include "doc/surveypath.h"
#include "export/jsontext.h"
#include "import/csvreader.h"
#include "tresversion.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>

namespace {

// The file whole, as the archive keeps it; false after the message.
bool ReadBytes(const std::string& path, std::string& bytes)
{
    if (const int err = tresdoc::ReadFileWhole(path, bytes)) {
        ToolError(tresdoc::OpenErrorText(path, err));
        return false;
    }
    return true;
}

std::string GermanDate(const std::string& iso)
{
    return iso.size() == 10 ? iso.substr(8, 2) + "." + iso.substr(5, 2) + "." + iso.substr(0, 4) : iso;
}

// The options as the archive keeps them beside the assessment.
std::string OptionsJson(const SAssessOptions& o)
{
    nlohmann::json words = nlohmann::json::array();
    for (const std::string& w : o.assessWords) words.push_back(jsontext::JsonText(w));
    return words.dump();
}

// Reads --pipeline's file once, so that the archive keeps the bytes the
// survey was tied with.
bool ReadPipelineText(SAssessOptions& o)
{
    if (o.pipeline.empty()) return true;
    std::string text;
    if (!ReadBytes(o.pipeline, text)) return false;
    o.pipelineText = std::move(text);
    return true;
}

tresarchive::SNewAssessment AssessmentOf(const SToolAssessment& a, const SAssessOptions& o, const std::string& json)
{
    tresarchive::SNewAssessment n;
    n.doc = &a.doc;
    n.verdict = &a.verdict;
    n.binding = a.Binding();
    n.json = json;
    n.options = OptionsJson(o);
    n.programVersion = TRES_VERSION;
    n.pipelineGeojson = a.binding ? o.pipelineText.value_or(std::string()) : std::string();
    return n;
}

// One file into the archive; false after its message.
bool AddOne(tresarchive::CArchive& archive, SAssessOptions o, const std::string& path)
{
    if (tresdoc::IsStandardStream(path)) {
        ToolError("Eine Messung von der Standardeingabe hat keinen Dateinamen und wird nicht archiviert.");
        return false;
    }
    std::string bytes;
    if (!ReadBytes(path, bytes)) return false;
    try {
        // A file kept already is said before the work of assessing it.
        if (const auto known = archive.FindBySha256(tresarchive::Sha256Hex(bytes)))
            throw tresarchive::CArchiveError(tresarchive::EArchiveFault::Duplicate,
                                             "Die Messung ist bereits im Archiv (Nr. " + std::to_string(known->id)
                                                 + ", hinzugefügt am " + tresarchive::ShownTime(known->addedAt)
                                                 + " von " + known->addedBy + ").");
        o.path = path;
        SToolAssessment a;
        const std::string_view view(bytes);
        if (!AssessForTool(o, a, &view)) return false;

        tresarchive::SNewSurvey s;
        s.fileName = std::filesystem::path(path).filename().string();
        s.bytes = bytes;
        s.reading = a.doc.Extras().reading;
        if (std::string error; !tresarchive::NameSurvey(a.doc, a.Binding(), o.date, s, error)) {
            ToolError(path + ": " + error
                      + (error.rfind("Das Messdatum", 0) == 0 ? " Mit --date JJJJ-MM-TT angeben." : ""));
            return false;
        }
        s.assessment = AssessmentOf(a, o, AssessmentJsonText(a, o, true));
        const tresarchive::SAddedSurvey added = archive.AddSurvey(s);
        const std::string title = tresarchive::PipelineTitle(s.pipelineName, s.pipelineNumber);
        std::printf("Messung %lld: %s (Leitung %s, Datum %s, %d Zeilen, %d Fehlstellen)\n", added.id, path.c_str(),
                    title.c_str(), GermanDate(s.date).c_str(), added.rows, added.defects);
        std::fflush(stdout);
        return true;
    } catch (const tresarchive::CArchiveError& e) {
        ToolError(path + ": " + e.what());
        return false;
    }
}

} // namespace

int RunArchiveAdd(const Args& args)
{
    SAssessOptions o;
    if (const int exit = ParseAssessOptions(args, EAssessCommand::Archive, o); exit >= 0) return exit;
    const auto location = TakeArchiveLocation(o.operands, o.archive, false);
    if (!location) return kExitFile;
    if (o.operands.empty()) {
        ToolError("Keine Messdatei angegeben.");
        return kExitUsage;
    }
    if (!o.date.empty() && !tresarchive::IsIsoDate(o.date)) {
        ToolError("--date erwartet ein Datum JJJJ-MM-TT: \"" + o.date + "\"");
        return kExitUsage;
    }
    if (!ReadPipelineText(o)) return kExitFile;
    const auto archive = OpenForArchiveCommand(*location, true);
    if (!archive) return kExitFile;
    bool allAdded = true;
    for (const std::string& path : o.operands) allAdded = AddOne(*archive, o, path) && allAdded;
    return allAdded ? kExitOk : kExitFile;
}

int RunArchiveReassess(const Args& args)
{
    SAssessOptions o;
    if (const int exit = ParseAssessOptions(args, EAssessCommand::Archive, o); exit >= 0) return exit;
    const auto location = TakeArchiveLocation(o.operands, o.archive, false);
    if (!location) return kExitFile;
    if (o.operands.empty() || !o.date.empty()) {
        ToolError(o.date.empty() ? "Keine Messungsnummer angegeben." : "--date gilt nur für archive add.");
        return kExitUsage;
    }
    std::vector<long long> ids;
    for (const std::string& word : o.operands) {
        long long id = 0;
        if (!ReadSurveyId(word, id, "Aufruf: tresmon-tool archive reassess [ARCHIV] NR... [Bewertungsoptionen]\n"))
            return kExitUsage;
        ids.push_back(id);
    }
    if (!ReadPipelineText(o)) return kExitFile;
    const auto archive = OpenForArchiveCommand(*location, false);
    if (!archive) return kExitFile;
    bool allDone = true;
    for (const long long id : ids) {
        try {
            const tresarchive::SStoredSurvey stored = archive->Survey(id);
            SAssessOptions one = o;
            one.path = stored.fileName;
            // Without --pipeline the survey stays tied to the data it was
            // stored with, not silently measured in metres again.
            if (one.pipeline.empty() && !stored.pipelineGeojson.empty()) {
                one.pipelineText = stored.pipelineGeojson;
                const auto json = nlohmann::json::parse(stored.assessmentJson, nullptr, false);
                one.pipeline = json.is_object() && json.contains("pipeline") && json["pipeline"].contains("file")
                                       && json["pipeline"]["file"].is_string()
                                   ? json["pipeline"]["file"].get<std::string>()
                                   : "Leitungsdaten aus dem Archiv";
                one.assessWords.insert(one.assessWords.begin(), {"--pipeline", one.pipeline});
            }
            SToolAssessment a;
            const std::string_view view(stored.bytes);
            // Read as it was when added, unless --map asks for another map.
            if (!AssessForTool(one, a, &view, tresimport::CsvOptions().map ? std::string() : stored.reading)) {
                allDone = false;
                continue;
            }
            archive->Reassess(id, AssessmentOf(a, one, AssessmentJsonText(a, one, true)));
            std::printf("Messung %lld neu bewertet (%zu Fehlstellen)\n", id, a.verdict.digList.size());
        } catch (const tresarchive::CArchiveError& e) {
            ArchiveFailure(e);
            allDone = false;
        }
    }
    return allDone ? kExitOk : kExitFile;
}
