// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportcmd.h"
#include "offscreenapp.h"
#include "trendreportcmd.h"

#include "doc/criterion.h"
#include "doc/fileerror.h"
#include "doc/tredoc.h"
#include "import/surveyopen.h"
#include "pipeline/nativepairing.h"
#include "print/assessreport.h"
#include "tool/assessoptions.h"
#include "tool/comparealign.h"
#include "tool/toolbinding.h"
#include "tool/toolhost.h"

#include <cerrno>
#include <cstdio>

namespace {

// Reads `path` into `doc`; the reader says why it cannot where it can, and a
// silent refusal still gets a line. The document lets go of the host again,
// so the order in which the two end does not matter.
bool Open(CTreDoc& doc, CToolHost& host, const std::string& path)
{
    doc.SetHost(&host);
    const bool opened = tresimport::OpenSurvey(doc, path);
    if (!opened && !host.HadMessage()) ToolError(tresdoc::OpenErrorText(path, EINVAL));
    doc.SetHost(nullptr);
    return opened;
}

} // namespace

SReportSettings IssuerWithOptions(const SAssessOptions& o)
{
    SReportSettings s = ReadReportSettings();
    const struct {
        const std::optional<std::string>& option;
        QString& setting;
    } texts[] = {
        {o.company, s.company},
        {o.logo, s.logo},
        {o.author, s.author},
        {o.electrode, s.electrode},
        {o.electrodeCalibrated, s.electrodeCalibrated},
        {o.instrument, s.instrument},
        {o.instrumentCalibrated, s.instrumentCalibrated},
        {o.electrodeSpacing, s.electrodeSpacing},
        {o.offDelay, s.offDelay},
        {o.synchronous, s.synchronous},
        {o.surveyor, s.surveyor},
        {o.qualification, s.qualification},
        {o.conditions, s.conditions},
    };
    for (const auto& t : texts)
        if (t.option) t.setting = QString::fromStdString(*t.option);
    // The parser let only numbers through; an empty electrode is the default.
    ReportDecimal(s.electrodeSpacing, s.electrodeSpacing);
    ReportDecimal(s.offDelay, s.offDelay);
    if (s.electrode.trimmed().isEmpty()) s.electrode = QString::fromLatin1(kDefaultElectrode);
    return s;
}

int RunReportCommand(int argc, char** argv)
{
    if (AsksForTrendReport(argc, argv)) return RunTrendReportCommand(argc, argv);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
    SAssessOptions o;
    if (const int exit = ParseAssessOptions(args, EAssessCommand::Report, o); exit >= 0) return exit;

    // Fonts need an application object even for a PDF.
    const auto app = EnsureOffscreenApplication();

    CTreDoc doc, earlier, ownNative;
    CToolHost host, earlierHost, nativeHost;
    if (!Open(doc, host, o.path)) return kExitFile;
    std::optional<trespipeline::SSurveyBinding> binding;
    if (!BindForTool(doc, o, binding)) return kExitFile;
    const bool nativeCompared = o.compareSettings.mode == ECompareMode::Native && !o.compare.empty();
    // An unusable criterion is named where the user looks first, as well
    // as on the report's first page.
    const SProtectionCriterion criterion
        = SurveyProtectionCriterion(doc, o.settings.protectionPotential, o.settings.limitPotential);
    if (!criterion.warning.empty()) ToolError(criterion.warning);
    SReportOptions report;
    report.settings = o.settings;
    report.pipeline = binding ? &*binding : nullptr;
    report.sectionLength = o.section;
    report.reportNumber = QString::fromStdString(o.reportNumber);
    report.revision = QString::fromStdString(o.revision);
    report.merge = o.merge;
    report.final = o.final;
    report.issuer = IssuerWithOptions(o);
    if (!o.compare.empty()) {
        // Both surveys are read before anything is written, so an unreadable
        // comparison survey leaves no report behind.
        if (!Open(earlier, earlierHost, o.compare)) return kExitFile;
        report.comparison.earlier = &earlier;
        report.comparison.settings = o.compareSettings;
        // Compared as native, it is the native survey of the 100 mV criterion.
        if (nativeCompared) report.native = &earlier;
        // Paired as `compare` pairs them, so both give the same indications.
        SCompareAlignOptions align;
        align.align = !o.noAlign;
        align.reverse = o.reverse;
        align.pipeline = o.pipeline;
        align.forcePipeline = o.forcePipeline;
        if (!AlignForCompare(doc, earlier, nativeCompared, align, report.comparison.settings.alignment,
                             binding ? &binding->pipeline : nullptr, o.stretchTolerance))
            return kExitFile;
    }
    if (!nativeCompared && !o.native.empty()) {
        if (!Open(ownNative, nativeHost, o.native)) return kExitFile;
        report.native = &ownNative;
    }
    // The 100 mV criterion pairs its native survey as the comparison pairs
    // it (--no-align: not at all).
    trespipeline::SNativePairing pairing;
    if (report.native) {
        if (nativeCompared) {
            trespipeline::SNativeRequest request = trespipeline::NativeRequestFor(report.pipeline, o.reverse);
            request.align = !o.noAlign;
            pairing = trespipeline::PairNativeSurvey(doc, earlier, request);
            if (!pairing.applied && pairing.ok) ToolError("Warnung: " + pairing.warning);
        } else if (!PairNativeForTool(doc, *report.native, o, report.pipeline, pairing)) {
            return kExitFile;
        }
        report.nativePairing = &pairing;
    }
    // A draft says why; asked for as final, it is refused with the reasons.
    const QStringList draft = AssessmentReportDraftReasons(doc, report);
    if (!draft.isEmpty() && !o.final) ToolError("Entwurf: " + draft.join(QStringLiteral("; ")).toStdString());
    QString error;
    const bool written = WriteAssessmentReportPdf(doc, report, QString::fromStdString(o.output), &error);
    if (!written) {
        ToolError(error.toStdString());
        return kExitFile;
    }
    std::printf("Bewertungsbericht nach %s geschrieben\n", o.output.c_str());
    return kExitOk;
}
