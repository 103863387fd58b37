// SPDX-License-Identifier: GPL-3.0-or-later
#include "trendtext.h"

#include "doc/defects.h"
#include "doc/numtext.h"

using namespace trestrend;

namespace {

std::string Nr(long long id) { return "Nr. " + std::to_string(id); }

// "II mittel, 16,7 %IR, 1192,63 m, Zeile 412"
std::string DefectText(const STrendSurvey& s, const STrendDefect& d)
{
    std::string t = d.category ? std::string(DefectCategoryName(d.category)) : std::string("ohne Kategorie");
    if (d.irPercent) t += ", " + tresnum::GermanFixed(*d.irPercent, 1) + " %IR";
    t += ", " + (s.chainage ? tresnum::GermanFixed(d.position, 2) : std::to_string(d.metre)) + " m";
    return t + ", Zeile " + std::to_string(d.row);
}

std::string RunsText(const SMetreRuns& r)
{
    std::string t = std::to_string(r.length) + " m";
    for (size_t i = 0; i < r.intervals.size(); ++i)
        t += (i ? ", " : " (") + std::to_string(r.intervals[i].first) + "–" + std::to_string(r.intervals[i].second)
             + (i + 1 == r.intervals.size() ? " m)" : "");
    return t;
}

std::string FindingText(const SDigFinding& f)
{
    std::string t
        = "    Befund " + f.date + " (" + Nr(f.survey) + ", Zeile " + std::to_string(f.row) + "): " + f.finding;
    if (f.repaired) t += "; instand gesetzt";
    if (f.offset) t += "; Schaden " + tresnum::GermanSignedFixed(*f.offset, 2, true) + " m von der Anzeige";
    return t + (f.by.empty() ? std::string() : "; erfasst von " + f.by) + "\n";
}

void Tracks(const std::vector<STrendSurvey>& surveys, const STrend& trend, std::string& out)
{
    out += "Fehlstellen über die Messungen:";
    if (trend.tracks.empty()) out += " keine";
    out += "\n";
    for (const STrack& t : trend.tracks) {
        out += "  Spur " + std::to_string(t.id) + ":\n";
        for (const STrackState& s : t.states) {
            const STrendSurvey& survey = surveys[s.survey];
            out += "    " + Nr(survey.id) + " " + survey.date + ": " + TrackStateText(s.state);
            if (s.defect) out += " (" + DefectText(survey, *s.defect) + ")";
            out += "\n";
        }
        for (const SDigFinding* f : t.findings) out += FindingText(*f);
    }
}

void Fixpoints(const std::vector<STrendSurvey>& surveys, const STrend& trend, std::string& out)
{
    if (trend.fixpoints.empty()) return;
    out += "Potential E* an den Festpunkten (Median, mV):\n";
    for (const SFixpointTrend& f : trend.fixpoints) {
        out += "  „" + f.name + "“ (" + tresnum::GermanFixed(f.chainage, 2) + " m):";
        for (const SFixpointValue& v : f.values) {
            out += " " + surveys[v.survey].date.substr(0, 4) + " " + (v.value ? std::to_string(*v.value) : "–");
            if (v.change) out += " (" + tresnum::GermanSignedFixed(*v.change, 0, true) + ")";
        }
        out += "\n";
    }
}

} // namespace

std::string TrendText(const SArchiveTrend& loaded, const STrend& trend)
{
    const std::vector<STrendSurvey>& surveys = loaded.surveys;
    std::string out = "Verlauf der Leitung " + loaded.pipeline.name
                      + (loaded.pipeline.number.empty() ? std::string() : " (Nr. " + loaded.pipeline.number + ")")
                      + "\nMessungen:";
    if (surveys.empty()) out += " keine";
    out += "\n";
    for (const STrendSurvey& s : surveys)
        out += "  " + Nr(s.id) + "  " + s.date + "  " + s.file + "  "
               + (s.chainage ? "in Stationierung" : "in Messmetern (ohne Leitungsdaten)") + "\n";
    Tracks(surveys, trend, out);
    for (const SProtectionChange& c : trend.changes)
        out += "Schutz von " + Nr(surveys[c.from].id) + " zu " + Nr(surveys[c.to].id) + ": verglichen "
               + std::to_string(c.compared) + " m, neu nicht geschützt " + RunsText(c.newlyUnprotected)
               + ", wieder geschützt " + RunsText(c.reprotected) + "\n";
    Fixpoints(surveys, trend, out);
    for (const std::string& w : trend.warnings) out += "Warnung: " + w + "\n";
    if (!trend.nextSurveyDue.empty()) out += "Nächste Intensivmessung fällig: " + trend.nextSurveyDue + "\n";
    if (!trend.openDigs.empty()) out += "Offene Aufgrabungen:\n";
    for (const SOpenDig& o : trend.openDigs) {
        const STrendSurvey& s = surveys[o.survey];
        out += "  " + Nr(s.id) + " " + DefectText(s, *o.defect) + ": " + o.defect->action;
        if (o.ageDays) out += ", seit " + std::to_string(*o.ageDays) + " Tagen";
        out += "\n";
    }
    return out;
}
