// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportsettings.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <QSettings>
#include <QSvgRenderer>

namespace {

// The program's settings, as the application opens them, group "Bericht".
QString Key(const char* name) { return QStringLiteral("Bericht/") + QLatin1String(name); }

// How the survey was taken: each text with its key.
struct SSurveyKey {
    const char* key;
    QString SReportSettings::*field;
};
const SSurveyKey kSurveyKeys[] = {
    {"Messgeraet", &SReportSettings::instrument},
    {"MessgeraetKalibriert", &SReportSettings::instrumentCalibrated},
    {"BezugselektrodeKalibriert", &SReportSettings::electrodeCalibrated},
    {"Elektrodenabstand", &SReportSettings::electrodeSpacing},
    {"Ausschaltverzoegerung", &SReportSettings::offDelay},
    {"Messender", &SReportSettings::surveyor},
    {"Qualifikation", &SReportSettings::qualification},
    {"Synchron", &SReportSettings::synchronous},
    {"Witterung", &SReportSettings::conditions},
};

} // namespace

bool ReportDecimal(const QString& text, QString& out)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        out.clear();
        return true;
    }
    static const QRegularExpression number(QStringLiteral("^\\d+([.,]\\d+)?$"));
    if (!number.match(t).hasMatch()) return false;
    out = QString(t).replace(QLatin1Char('.'), QLatin1Char(','));
    return true;
}

bool ReportYesNo(const QString& text, QString& out)
{
    const QString t = text.trimmed().toLower();
    if (!t.isEmpty() && t != QStringLiteral("ja") && t != QStringLiteral("nein")) return false;
    out = t;
    return true;
}

bool SReportSettings::NoIssuer() const
{
    if (!company.trimmed().isEmpty() || !logo.isEmpty()) return false;
    for (const QString& line : address)
        if (!line.trimmed().isEmpty()) return false;
    return true;
}

SReportSettings ReadReportSettings()
{
    SReportSettings r;
    const QSettings s(QStringLiteral("Norvaken"), QStringLiteral("Tresmon"));
    r.company = s.value(Key("Firma")).toString();
    for (size_t i = 0; i < r.address.size(); ++i)
        r.address[i] = s.value(Key("Adresse") + QString::number(i + 1)).toString();
    r.logo = s.value(Key("Logo")).toString();
    r.author = s.value(Key("Bearbeiter")).toString();
    const QString electrode = s.value(Key("Bezugselektrode")).toString().trimmed();
    if (!electrode.isEmpty()) r.electrode = electrode;
    for (const SSurveyKey& k : kSurveyKeys) r.*k.field = s.value(Key(k.key)).toString().trimmed();
    return r;
}

void WriteReportSettings(const SReportSettings& r)
{
    QSettings s(QStringLiteral("Norvaken"), QStringLiteral("Tresmon"));
    s.setValue(Key("Firma"), r.company);
    for (size_t i = 0; i < r.address.size(); ++i) s.setValue(Key("Adresse") + QString::number(i + 1), r.address[i]);
    s.setValue(Key("Logo"), r.logo);
    s.setValue(Key("Bearbeiter"), r.author);
    s.setValue(Key("Bezugselektrode"), r.electrode);
    for (const SSurveyKey& k : kSurveyKeys) s.setValue(Key(k.key), r.*k.field);
}

CReportLogo::CReportLogo() = default;
CReportLogo::~CReportLogo() = default;

bool CReportLogo::Load(const QString& path, QString* error)
{
    m_image = QImage();
    m_svg.reset();
    auto fail = [&](const QString& why) {
        if (error) *error = QString::fromUtf8("Das Logo „%1“ lässt sich nicht lesen: %2").arg(path, why);
        return false;
    };
    if (!QFileInfo(path).isFile()) return fail(QString::fromUtf8("Die Datei ist nicht da."));
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        auto svg = std::make_unique<QSvgRenderer>(path);
        if (!svg->isValid() || svg->defaultSize().isEmpty()) return fail(QString::fromUtf8("Kein gültiges SVG-Bild."));
        m_svg = std::move(svg);
        return true;
    }
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull()) return fail(reader.errorString());
    m_image = std::move(image);
    return true;
}

bool CReportLogo::IsNull() const { return m_image.isNull() && !m_svg; }

QRectF CReportLogo::Fit(const QRectF& box) const
{
    const QSizeF size = m_svg ? QSizeF(m_svg->defaultSize()) : QSizeF(m_image.size());
    if (size.isEmpty() || box.isEmpty()) return {};
    const QSizeF fitted = size.scaled(box.size(), Qt::KeepAspectRatio);
    return QRectF(QPointF(box.right() - fitted.width(), box.top()), fitted);
}

void CReportLogo::Draw(QPainter& p, const QRectF& box) const
{
    const QRectF r = Fit(box);
    if (r.isEmpty()) return;
    if (m_svg) m_svg->render(&p, r);
    else p.drawImage(r, m_image);
}
