// SPDX-License-Identifier: GPL-3.0-or-later
// `archive list`, `show`, `get` and `log`: what the archive holds, read only.
#include "archivecommon.h"
#include "toolhost.h"

#include "export/jsontext.h"

#include <cstdio>

namespace {

const char kListUsage[] = "Aufruf: tresmon-tool archive list [ARCHIV] [--pipeline NAME] [--json]\n";
const char kShowUsage[] = "Aufruf: tresmon-tool archive show [ARCHIV] NR [--json] [--history]\n";
const char kGetUsage[] = "Aufruf: tresmon-tool archive get [ARCHIV] NR -o DATEI (- für die Standardausgabe)\n";
const char kLogUsage[] = "Aufruf: tresmon-tool archive log [ARCHIV] [--json]\n";

int Print(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) == 0) return kExitOk;
    ToolError("Die Ausgabe konnte nicht geschrieben werden.");
    return kExitFile;
}

// The words, the archive they name and the archive open; nullptr after a
// message or --help (then `exit` is set).
std::unique_ptr<tresarchive::CArchive> Prepare(const Args& args, const std::vector<SOptionName>& known,
                                               const char* usage, size_t operands, SArchiveWords& w, int& exit)
{
    exit = kExitUsage;
    if (!ReadArchiveWords(args, known, usage, w)) return nullptr;
    if (w.help) {
        std::fputs(usage, stdout);
        exit = kExitOk;
        return nullptr;
    }
    std::optional<std::string> option;
    if (w.values.count("--archive")) option = w.values["--archive"];
    // One operand more than the command takes is the archive.
    const auto location = TakeArchiveLocation(w.operands, option, w.operands.size() > operands);
    if (!location) {
        exit = kExitFile;
        return nullptr;
    }
    if (w.operands.size() != operands) {
        ToolError(w.operands.size() < operands ? "Keine Messungsnummer angegeben."
                                               : "Zu viele Angaben: " + w.operands.back());
        std::fputs(usage, stderr);
        return nullptr;
    }
    exit = kExitFile;
    return OpenForArchiveCommand(*location, false);
}

std::string Counted(size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string Figure(double m)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", m);
    return text;
}

} // namespace

int RunArchiveList(const Args& args)
{
    SArchiveWords w;
    int exit = 0;
    const auto archive = Prepare(args, {{"--archive", 1}, {"--pipeline", 1}, {"--json", 0}}, kListUsage, 0, w, exit);
    if (!archive) return exit;
    try {
        const auto filter = w.values.count("--pipeline") ? w.values.at("--pipeline") : std::string();
        const std::vector<tresarchive::SPipelineEntry> pipelines = archive->List(filter);
        if (w.Has("--json")) {
            ojson list = ojson::array();
            for (const auto& p : pipelines) {
                ojson surveys = ojson::array();
                for (const auto& s : p.surveys)
                    surveys.push_back({{"id", s.id},
                                       {"date", s.date},
                                       {"file", jsontext::JsonText(s.file)},
                                       {"sha256", s.sha256},
                                       {"rows", s.rows},
                                       {"totalLength", s.totalLength},
                                       {"assessedLength", s.assessedLength},
                                       {"defects", s.defects},
                                       {"urgent", s.urgent},
                                       {"addedBy", jsontext::JsonText(s.addedBy)},
                                       {"addedAt", s.addedAt}});
                list.push_back({{"id", p.id},
                                {"name", jsontext::JsonText(p.name)},
                                {"number", jsontext::JsonText(p.number)},
                                {"revisions", p.revisions},
                                {"surveys", surveys}});
            }
            return Print(jsontext::FileText(ojson{{"version", 1}, {"pipelines", list}}));
        }
        std::string text;
        for (const auto& p : pipelines) {
            text += "Leitung " + std::to_string(p.id) + ": " + tresarchive::PipelineTitle(p.name, p.number) + " ("
                    + Counted(p.surveys.size(), "Messung", "Messungen") + ", "
                    + Counted(static_cast<size_t>(p.revisions), "Stand", "Stände") + " der Leitungsdaten)\n";
            for (const auto& s : p.surveys)
                text += "  Nr. " + std::to_string(s.id) + "  " + s.date + "  " + s.file + "  " + std::to_string(s.rows)
                        + " Zeilen, " + Figure(s.totalLength) + " m, davon bewertet " + Figure(s.assessedLength)
                        + " m, " + std::to_string(s.defects) + " Fehlstellen (" + std::to_string(s.urgent)
                        + " umgehend aufgraben), hinzugefügt " + tresarchive::ShownTime(s.addedAt) + " von " + s.addedBy
                        + "\n";
        }
        if (pipelines.empty()) text = "Das Archiv enthält keine Messung.\n";
        return Print(text);
    } catch (const tresarchive::CArchiveError& e) {
        return ArchiveFailure(e);
    }
}

int RunArchiveShow(const Args& args)
{
    SArchiveWords w;
    int exit = 0;
    const auto archive = Prepare(args, {{"--archive", 1}, {"--json", 0}, {"--history", 0}}, kShowUsage, 1, w, exit);
    if (!archive) return exit;
    long long id = 0;
    if (!ReadSurveyId(w.operands[0], id, kShowUsage)) return kExitUsage;
    try {
        if (!w.Has("--history")) return Print(archive->Survey(id).assessmentJson);
        const auto history = archive->History(id);
        if (w.Has("--json")) {
            ojson list = ojson::array();
            for (const auto& h : history)
                list.push_back({{"id", h.id},
                                {"assessedAt", h.at},
                                {"assessedBy", jsontext::JsonText(h.by)},
                                {"options", ojson::parse(h.options, nullptr, false)},
                                {"programVersion", h.programVersion},
                                {"current", h.current}});
            return Print(jsontext::FileText(ojson{{"version", 1}, {"survey", id}, {"assessments", list}}));
        }
        std::string text;
        for (const auto& h : history)
            text += std::string(h.current ? "* " : "  ") + "Bewertung " + std::to_string(h.id) + "  "
                    + tresarchive::ShownTime(h.at) + "  " + h.by + "  Tresmon " + h.programVersion + "  Optionen "
                    + h.options + "\n";
        return Print(text);
    } catch (const tresarchive::CArchiveError& e) {
        return ArchiveFailure(e);
    }
}

int RunArchiveGet(const Args& args)
{
    SArchiveWords w;
    int exit = 0;
    const auto archive = Prepare(args, {{"--archive", 1}, {"-o", 1}}, kGetUsage, 1, w, exit);
    if (!archive) return exit;
    long long id = 0;
    if (!ReadSurveyId(w.operands[0], id, kGetUsage)) return kExitUsage;
    if (!w.values.count("-o") || w.values.at("-o").empty()) {
        ToolError("Keine Ausgabedatei angegeben (-o DATEI).");
        return kExitUsage;
    }
    try {
        return WriteTextFile(w.values.at("-o"), archive->Survey(id, true).bytes) ? kExitOk : kExitFile;
    } catch (const tresarchive::CArchiveError& e) {
        return ArchiveFailure(e);
    }
}

int RunArchiveLog(const Args& args)
{
    SArchiveWords w;
    int exit = 0;
    const auto archive = Prepare(args, {{"--archive", 1}, {"--json", 0}}, kLogUsage, 0, w, exit);
    if (!archive) return exit;
    try {
        const auto log = archive->Log();
        if (w.Has("--json")) {
            ojson list = ojson::array();
            for (const auto& e : log)
                list.push_back({{"id", e.id},
                                {"at", e.at},
                                {"by", jsontext::JsonText(e.by)},
                                {"action", e.action},
                                {"survey", e.survey ? ojson(*e.survey) : ojson(nullptr)},
                                {"sha256", e.sha256.empty() ? ojson(nullptr) : ojson(e.sha256)},
                                {"detail", jsontext::JsonText(e.detail)}});
            return Print(jsontext::FileText(ojson{{"version", 1}, {"entries", list}}));
        }
        std::string text;
        for (const auto& e : log)
            text += tresarchive::ShownTime(e.at) + "  " + e.by + "  " + e.action
                    + (e.survey ? "  Nr. " + std::to_string(*e.survey) : std::string()) + "  " + e.detail
                    + (e.sha256.empty() ? std::string() : "  SHA-256 " + e.sha256) + "\n";
        return Print(text);
    } catch (const tresarchive::CArchiveError& e) {
        return ArchiveFailure(e);
    }
}
