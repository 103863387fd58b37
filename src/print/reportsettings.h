// SPDX-License-Identifier: GPL-3.0-or-later
// Who issues the assessment report and what it takes for granted: the
// settings "Bericht" (company, address, logo, author, reference
// electrode) and how the survey was taken (instrument, calibrations,
// electrode spacing, off-reading delay, surveyor, synchronous switching,
// weather), read and written where the program keeps its settings, so
// the program and the tool print the same. And the issuer's logo, a PNG or
// SVG file drawn into a box keeping its aspect.
#pragma once

#include <QImage>
#include <QRectF>
#include <QString>

#include <array>
#include <memory>

class QPainter;
class QSvgRenderer;

inline constexpr char kDefaultElectrode[] = "Cu/CuSO4";

struct SReportSettings {
    QString company;
    std::array<QString, 3> address;                             // up to three lines
    QString logo;                                               // path of a PNG or SVG file; empty: none
    QString author;                                             // "Bearbeiter": fills "Erstellt" on page 1
    QString electrode = QString::fromLatin1(kDefaultElectrode); // when the survey names none

    // How the survey was taken, as one who checks the report asks for it; each printed
    // "nicht angegeben" when empty. Free texts but for the two numbers,
    // kept with a decimal comma (ReportDecimal).
    QString instrument, instrumentCalibrated; // measuring instrument, its calibration date
    QString electrodeCalibrated;              // the reference electrode's calibration date
    QString electrodeSpacing;                 // lateral electrode spacing, m
    QString offDelay;                         // off reading after switching off, ms
    QString surveyor, qualification;
    QString synchronous; // rectifiers switched synchronously: "ja", "nein" or empty (not stated)
    QString conditions;  // weather and soil

    // Nothing of an issuer is set: the report prints none.
    bool NoIssuer() const;
};

// A number as a user types it ("1.5", "1,5", " 2 ") with a decimal comma as
// the report prints it ("1,5"); empty text stays empty. False for anything
// else, and for a negative number.
bool ReportDecimal(const QString& text, QString& out);
// "ja", "nein" (any case, blanks around) or empty as the setting keeps it.
bool ReportYesNo(const QString& text, QString& out);

// The settings "Bericht" of the program (QSettings "Norvaken"/"Tresmon");
// absent entries keep their defaults.
SReportSettings ReadReportSettings();
void WriteReportSettings(const SReportSettings& s);

// A logo read once and drawn on every page that shows it.
class CReportLogo {
public:
    CReportLogo();
    ~CReportLogo();
    // Reads `path` (an SVG by its name's ending, else any image Qt reads);
    // false with a German message in `error`.
    bool Load(const QString& path, QString* error);
    bool IsNull() const;
    // The largest rectangle of the logo's aspect inside `box`, at its
    // right and top.
    QRectF Fit(const QRectF& box) const;
    void Draw(QPainter& p, const QRectF& box) const;

private:
    QImage m_image;
    std::unique_ptr<QSvgRenderer> m_svg;
};
