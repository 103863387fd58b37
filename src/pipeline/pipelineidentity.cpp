// SPDX-License-Identifier: GPL-3.0-or-later
#include "pipelineidentity.h"

#include "doc/commentkey.h"
#include "doc/tredoc.h"

namespace trespipeline {

namespace {

std::string Title(const std::string& name, const std::string& number)
{
    const bool haveName = IsLandmarkComment(name), haveNumber = IsLandmarkComment(number);
    if (haveName && haveNumber) return name + " " + number;
    return haveName ? name : haveNumber ? number : std::string();
}

// Two parts differ only where both are given.
bool Differ(const std::string& a, const std::string& b)
{
    return IsLandmarkComment(a) && IsLandmarkComment(b) && CommentKey(a) != CommentKey(b);
}

} // namespace

std::string RouteTitle(const SRoute& route) { return Title(route.name, route.number); }

std::string SurveyPipelineTitle(const CTreDoc& doc) { return Title(doc.m_header[3], doc.m_header[4]); }

std::string SPipelineMismatch::Text() const
{
    return "Die Leitungsdaten gehören zu „" + data + "“, die Messung zu „" + survey + "“.";
}

std::string PipelinesNamed(const SRoute& route, const CTreDoc& doc)
{
    auto named = [](std::string title) { return title.empty() ? std::string("ohne Namen") : title; };
    return SPipelineMismatch{named(RouteTitle(route)), named(SurveyPipelineTitle(doc))}.Text();
}

std::optional<SPipelineMismatch> PipelineMismatch(const SRoute& route, const CTreDoc& doc)
{
    const std::string& name = doc.m_header[3];
    const std::string& number = doc.m_header[4];
    if (!Differ(route.name, name) && !Differ(route.number, number)) return std::nullopt;
    return SPipelineMismatch{RouteTitle(route), SurveyPipelineTitle(doc)};
}

} // namespace trespipeline
