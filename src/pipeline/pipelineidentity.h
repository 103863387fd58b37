// SPDX-License-Identifier: GPL-3.0-or-later
// Whether pipeline data are for the pipeline a survey was taken on. The
// fixed points' names alone do not tell: "Prüfstelle 10" stands on many
// pipelines, and data of another one, taken because its names match, send
// the dig crew kilometres away. The route names its pipeline (`name`,
// `number`), the survey its header entries 3 and 4; where both sides name
// one, they must agree, compared as landmarks are (doc/commentkey.h).
#pragma once

#include "pipelinedata.h"

#include <optional>
#include <string>

class CTreDoc;

namespace trespipeline {

// "Gasleitung Mühlbach - Oberried DN 300 L 4712/03": name and number as one
// line; empty when neither is given.
std::string RouteTitle(const SRoute& route);
std::string SurveyPipelineTitle(const CTreDoc& doc);

struct SPipelineMismatch {
    std::string data, survey; // their titles
    // "Die Leitungsdaten gehören zu „…“, die Messung zu „…“."
    std::string Text() const;
};

// "Die Leitungsdaten gehören zu „…“, die Messung zu „…“." also when they
// agree ("ohne Namen" for a side that names none): said beside a refusal
// the user may take for a wrong file.
std::string PipelinesNamed(const SRoute& route, const CTreDoc& doc);

// The mismatch when the route and the survey both name a pipeline (a name,
// a number, or both) and a part that both give differs; nothing when they
// agree or one side names none.
std::optional<SPipelineMismatch> PipelineMismatch(const SRoute& route, const CTreDoc& doc);

} // namespace trespipeline
