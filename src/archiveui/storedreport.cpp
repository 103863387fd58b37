// SPDX-License-Identifier: GPL-3.0-or-later
#include "storedreport.h"

#include "doc/dochost.h"
#include "doc/tredoc.h"
#include "export/assesswords.h"
#include "import/surveyopen.h"
#include "pipeline/nativepairing.h"
#include "pipeline/surveybinding.h"
#include "print/assessreport.h"

#include <filesystem>
#include <optional>

namespace {

bool ReadBytes(CTreDoc& doc, const tresarchive::SStoredSurvey& survey, QString& error)
{
    const std::string& name = survey.fileName;
    CCollectingHost host;
    doc.SetHost(&host);
    const bool ok = tresimport::OpenSurveyBytes(doc, survey.bytes, name, survey.reading);
    doc.SetHost(nullptr);
    if (!ok) error = QString::fromStdString(host.messages.empty() ? name + " lässt sich nicht lesen." : host.messages);
    return ok;
}

} // namespace

bool WriteStoredReport(const tresarchive::SStoredSurvey& survey, const QString& path, QString& error, QString& note)
{
    CTreDoc doc;
    if (!ReadBytes(doc, survey, error)) return false;
    std::vector<std::string> words;
    tresexport::SAssessRequest request;
    std::string why;
    if (!tresexport::ReadOptionsJson(survey.options, words)
        || !tresexport::ReadAssessOptionWords(words, request, why)) {
        error = QString::fromUtf8("Die Bewertungsoptionen der Messung im Archiv lassen sich nicht lesen: ")
                + QString::fromStdString(why.empty() ? survey.options : why);
        return false;
    }
    std::optional<trespipeline::SSurveyBinding> binding;
    if (!survey.pipelineGeojson.empty()) {
        const std::string name = request.pipeline.empty() ? "Leitungsdaten aus dem Archiv" : request.pipeline;
        binding
            = trespipeline::BindSurveyToText(doc, survey.pipelineGeojson, name, request.stretchTolerance, request.crs);
        if (!binding->ok) {
            error = QString::fromStdString("Die Leitungsdaten " + name + " lassen sich nicht verwenden:");
            for (const std::string& e : binding->errors) error += QLatin1Char('\n') + QString::fromStdString(e);
            return false;
        }
    }
    SReportOptions o;
    o.settings = request.settings;
    o.issuer = ReadReportSettings();
    o.pipeline = binding ? &*binding : nullptr;
    // The archive keeps the survey, not its native one: that is read where
    // it was when the survey was stored.
    CTreDoc native;
    trespipeline::SNativePairing pairing;
    if (!request.native.empty()) {
        CCollectingHost host;
        native.SetHost(&host);
        const bool read = std::filesystem::exists(request.native) && tresimport::OpenSurvey(native, request.native);
        native.SetHost(nullptr);
        if (read)
            pairing = trespipeline::PairNativeSurvey(doc, native,
                                                     trespipeline::NativeRequestFor(o.pipeline, request.reverse));
        if (read && pairing.ok) {
            o.native = &native;
            o.nativePairing = &pairing;
        } else {
            note = QString::fromUtf8("Die Nativmessung %1 lässt sich nicht mehr lesen oder zuordnen; der Bericht "
                                     "wird ohne sie geschrieben.")
                       .arg(QString::fromStdString(request.native));
        }
    }
    return WriteAssessmentReportPdf(doc, o, path, &error);
}
