// SPDX-License-Identifier: GPL-3.0-or-later
// `archive dig`: what the dig at a defect of a stored survey found, into
// the archive's trail, where the trend reads it back.
#include "archivecommon.h"
#include "toolhost.h"

#include "archive/digfinding.h"
#include "doc/numtext.h"

#include <cmath>
#include <cstdio>

namespace {

const char kDigUsage[] = "Aufruf: tresmon-tool archive dig [ARCHIV] NR ZEILE --date JJJJ-MM-TT --finding TEXT "
                         "[--repaired] [--offset METER]\n";

int Usage(const std::string& text)
{
    ToolError(text);
    std::fputs(kDigUsage, stderr);
    return kExitUsage;
}

} // namespace

int RunArchiveDig(const Args& args)
{
    SArchiveWords w;
    if (!ReadArchiveWords(args, {{"--archive", 1}, {"--date", 1}, {"--finding", 1}, {"--repaired", 0}, {"--offset", 1}},
                          kDigUsage, w))
        return kExitUsage;
    if (w.help) {
        std::fputs(kDigUsage, stdout);
        return kExitOk;
    }
    std::optional<std::string> option;
    if (w.values.count("--archive")) option = w.values["--archive"];
    const auto location = TakeArchiveLocation(w.operands, option, w.operands.size() > 2);
    if (!location) return kExitFile;
    if (w.operands.size() != 2)
        return Usage(w.operands.size() < 2 ? "Messungsnummer und Zeile der Fehlstelle fehlen."
                                           : "Zu viele Angaben: " + w.operands.back());
    tresarchive::SDigRecord record;
    if (!ReadSurveyId(w.operands[0], record.survey, kDigUsage)) return kExitUsage;
    const std::string& row = w.operands[1];
    if (row.empty() || row.size() > 9 || row.find_first_not_of("0123456789") != std::string::npos || std::stoi(row) < 1)
        return Usage("Ungültige Zeile: \"" + row + "\"");
    record.row = std::stoi(row);
    if (!w.values.count("--date")) return Usage("Kein Datum der Aufgrabung angegeben (--date JJJJ-MM-TT).");
    record.date = w.values["--date"];
    if (!tresarchive::IsIsoDate(record.date))
        return Usage("--date erwartet ein Datum JJJJ-MM-TT: \"" + record.date + "\"");
    record.finding = w.values.count("--finding") ? w.values["--finding"] : std::string();
    if (record.finding.find_first_not_of(" \t\r\n") == std::string::npos)
        return Usage("Ohne Befund (--finding TEXT) wird keine Aufgrabung erfasst.");
    record.repaired = w.Has("--repaired");
    if (w.values.count("--offset")) {
        double offset = 0;
        if (!tresnum::ParseDecimal(w.values["--offset"], offset) || !std::isfinite(offset))
            return Usage("--offset erwartet eine Länge in m: \"" + w.values["--offset"] + "\"");
        record.offset = offset;
    }
    const auto archive = OpenForArchiveCommand(*location, false);
    if (!archive) return kExitFile;
    try {
        tresarchive::RecordDigFinding(*archive, record);
        std::printf("Befund zu Zeile %d der Messung %lld erfasst.\n", record.row, record.survey);
        return kExitOk;
    } catch (const tresarchive::CArchiveError& e) {
        return ArchiveFailure(e);
    }
}
