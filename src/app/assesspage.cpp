// SPDX-License-Identifier: GPL-3.0-or-later
// The "Bewertung" window's verdict: the criterion it was judged against,
// the statuses' lengths and shares, and the pipeline data it was tied to.
#include "assesswnd.h"

#include "pipeline/sections.h"
#include "pipeline/tiedassessment.h"
#include "ui/textcolours.h"
#include "views/verdictpaint.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include <algorithm>

using namespace assessfield;
using EList = CAssessListModel::EList;

namespace {

QString SourceText(ECriterionSource s)
{
    switch (s) {
    case ECriterionSource::Option: return QStringLiteral("vorgegeben");
    case ECriterionSource::Header: return QStringLiteral("aus Kopfdaten");
    case ECriterionSource::Default: return QStringLiteral("angenommen");
    }
    return {};
}

// The statuses in the order an engineer reads them: what is proven first.
constexpr EVerdictStatus kStatusOrder[]
    = {EVerdictStatus::Protected, EVerdictStatus::Protected100, EVerdictStatus::Unprotected, EVerdictStatus::Over,
       EVerdictStatus::NotAssessed};

} // namespace

void CAssessWnd::ShowResult()
{
    auto* tabs = findChild<QTabWidget*>(QStringLiteral("lists"));
    const std::shared_ptr<const SVerdict> result = m_session.Verdict();
    const SVerdict* v = result.get();
    for (EList list : {EList::Stretches, EList::DigList, EList::Warnings}) {
        static const char* const names[] = {"Abschnitte", "Aufgrabungsliste", "Warnungen"};
        const int i = static_cast<int>(list);
        tabs->setTabText(i, QStringLiteral("%1 (%2)").arg(QString::fromUtf8(names[i])).arg(m_pModels[i]->rowCount()));
    }
    if (!v) {
        m_pCriterion->clear();
        m_pWarning->hide();
        m_pSummary->clear();
        return;
    }

    // What the verdict was judged against.
    const SProtectionCriterion& c = v->criterion;
    QString criterion
        = QString::fromUtf8("Schutzkriterium <b>%1&nbsp;mV</b> (%2)").arg(c.protection).arg(SourceText(c.source));
    // A criterion set here overrides the header's: said in the warning
    // colour, with what the header says, so nobody takes it for the header's.
    if (c.source == ECriterionSource::Option) {
        const QString header = QString::fromStdString(c.headerText).trimmed();
        if (!header.isEmpty()) criterion += QString::fromUtf8(", Kopfdaten „%1“").arg(header.toHtmlEscaped());
        criterion = QStringLiteral("<span style=\"color:%1\">%2</span>")
                        .arg(PaletteColour(WarningTextColour()).name(), criterion);
    }
    criterion += QString::fromUtf8(", Grenzpotential %1&nbsp;mV").arg(c.limitPotential);
    if (!v->settings.use100mV) criterion += QString::fromUtf8("<br>100-mV-Kriterium abgeschaltet");
    else if (v->nativeGiven) {
        criterion += QString::fromUtf8("<br>100-mV-Kriterium gegen die Nativmessung %1")
                         .arg(m_session.ComparisonName().toHtmlEscaped());
        // How its rows were paired, or in red why the criterion is not applied.
        const QString pairing = QString::fromStdString(trespipeline::NativePairingText(*v)).toHtmlEscaped();
        criterion += v->nativeWarning.empty() ? QStringLiteral("<br>") + pairing
                                              : QStringLiteral("<br><span style=\"color:%1\">%2</span>")
                                                    .arg(PaletteColour(WarningTextColour()).name(), pairing);
    } else criterion += QString::fromUtf8("<br>100-mV-Kriterium: keine Nativmessung geladen");
    m_pCriterion->setText(criterion);
    m_pWarning->setText(QString::fromStdString(c.warning));
    m_pWarning->setVisible(!c.warning.empty());
    m_pFields[FieldProtection]->setPlaceholderText(
        c.source == ECriterionSource::Option ? QString() : QString::number(c.protection));

    // Coverage, then the statuses with their colours, lengths and shares.
    const SVerdictCoverage& cov = v->coverage;
    QString html
        = QString::fromUtf8("Messlänge %1 m: bewertet %2 m, nicht bewertet %3 m, Messlücken %4 m")
              .arg(CAssessListModel::MetresText(v->surveyLength), CAssessListModel::MetresText(cov.assessedLength),
                   CAssessListModel::MetresText(cov.notAssessedLength), CAssessListModel::MetresText(cov.gapLength));
    html += QStringLiteral("<table cellspacing=0 cellpadding=1><tr><th></th><th align=left>Status</th>"
                           "<th align=right>&nbsp;Länge&nbsp;m</th><th align=right>&nbsp;Anteil&nbsp;%</th>"
                           "<th align=right>&nbsp;Abschnitte</th></tr>");
    for (EVerdictStatus s : kStatusOrder) {
        const SStatusSummary& sum = v->statuses[static_cast<size_t>(s)];
        html
            += QStringLiteral("<tr><td bgcolor=%1>&nbsp;&nbsp;&nbsp;</td><td style=\"white-space:nowrap\">&nbsp;%2</td>"
                              "<td align=right>%3</td>"
                              "<td align=right>%4</td><td align=right>%5</td></tr>")
                   .arg(PaletteColour(VerdictStatusColour(s)).name(),
                        // kept on one line: the table is narrower than the dock anyway
                        QString::fromUtf8(VerdictStatusName(s)).toHtmlEscaped(),
                        CAssessListModel::MetresText(sum.length), CAssessListModel::ShareText(sum.shareTenths))
                   .arg(sum.stretches);
    }
    html += QStringLiteral("</table>");
    html += QString::fromUtf8("Anteile bewerteter Status an der bewerteten Länge, „nicht bewertbar“ an der "
                              "gemessenen.");
    int perCategory[5] = {};
    for (const SCoatingDefect& d : v->defects) ++perCategory[std::clamp(d.category, 0, 4)];
    html += QString::fromUtf8("<br>Fehlstellenverdacht: %1 (I: %2, II: %3, III: %4, IV: %5, ohne Kategorie: %6)")
                .arg(v->defects.size())
                .arg(perCategory[1])
                .arg(perCategory[2])
                .arg(perCategory[3])
                .arg(perCategory[4])
                .arg(perCategory[0]);
    m_pSummary->setText(html);
}

void CAssessWnd::ShowPipeline()
{
    const CPipelineSource& pipeline = m_session.Pipeline();
    const std::shared_ptr<const trespipeline::SSurveyBinding> binding = m_session.Binding();
    if (!pipeline.IsLoaded()) {
        m_pPipelineLabel->clear();
        m_pPipelineLabel->hide();
        return;
    }
    const auto esc = [](const std::string& s) { return QString::fromStdString(s).toHtmlEscaped(); };
    const trespipeline::SPipelineData& data = pipeline.Data();
    QString html
        = QString::fromUtf8("Leitungsdaten <b>%1</b>").arg(QFileInfo(pipeline.Path()).fileName().toHtmlEscaped());
    if (!data.route.name.empty() || !data.route.number.empty())
        html += QString::fromUtf8(" (Trasse %1 %2)").arg(esc(data.route.name), esc(data.route.number));
    if (binding) {
        html += QString::fromUtf8(": %1 von %2 Festpunkten gefunden; Längen nach Stationierung")
                    .arg(binding->fixpoints.size())
                    .arg(data.fixpoints.size());
        for (const trespipeline::SSection& s : data.sections)
            html += QStringLiteral("<br>") + esc(trespipeline::SectionText(s))
                    + QString::fromUtf8(" (%1 Messpunkte)").arg(trespipeline::SectionRows(s, binding->chainage));
        for (const std::string& w : pipeline.Warnings())
            html += QStringLiteral("<br>") + textcolours::Coloured(textcolours::Warning(), esc(w));
    } else if (!pipeline.BindErrors().empty()) {
        html += QStringLiteral("<br><span style=\"color:") + textcolours::Error()
                + QString::fromUtf8("\">Die Messung passt nicht zu den Leitungsdaten; "
                                    "bewertet nach Messmetern:");
        for (const std::string& e : pipeline.BindErrors()) html += QStringLiteral("<br>") + esc(e);
        html += QStringLiteral("</span>");
    }
    m_pPipelineLabel->setText(html);
    m_pPipelineLabel->show();
}
