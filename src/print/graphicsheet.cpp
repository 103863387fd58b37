// SPDX-License-Identifier: GPL-3.0-or-later
#include "graphicsheet.h"

#include "doc/numtext.h"
#include "doc/tredoc.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace {

QComboBox* Combo(const CTrePrintPage& page, int id) { return qobject_cast<QComboBox*>(page.Control(id)); }
QLineEdit* Edit(const CTrePrintPage& page, int id) { return qobject_cast<QLineEdit*>(page.Control(id)); }

} // namespace

bool ExchangeInt(const QString& text, int lo, int hi, int& value, QString& message)
{
    const QString t = text.trimmed();
    int i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) ++i;
    const bool digits
        = i < t.size() && std::all_of(t.begin() + i, t.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; });
    bool ok = false;
    const long long v = digits ? t.toLongLong(&ok) : 0;
    if (!digits || !ok) {
        message = QStringLiteral("Geben Sie bitte eine ganze Zahl ein.");
        return false;
    }
    if (v < lo || v > hi) {
        message = QStringLiteral("Geben Sie bitte eine ganze Zahl zwischen %1 und %2 ein.").arg(lo).arg(hi);
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

// ---- " Kurven " ---------------------------------------------------------------

CTrePlotDruckPP1::CTrePlotDruckPP1(QWidget* parent)
    : CTrePrintPage(QStringLiteral(" Kurven "), 157, 81, parent)
{
    AddGroup(7, 7, 59, 61, QStringLiteral("Potential"));
    AddCheck(1060, 13, 19, 45, 8, QStringLiteral("Ein"), true);
    AddCheck(1064, 13, 31, 45, 8, QStringLiteral("Aus"), true);
    AddCheck(1059, 13, 43, 40, 8, QStringLiteral("IR-frei"));
    AddGroup(74, 7, 76, 61, QStringLiteral("Gradient"));
    AddCheck(1062, 82, 19, 45, 8, QStringLiteral("Ein"));
    AddCheck(1065, 82, 31, 63, 8, QStringLiteral("Aus"));
    AddCheck(1061, 82, 43, 44, 8, QStringLiteral("Differenz"));
    AddCheck(1063, 82, 55, 63, 8, QStringLiteral("Links + Rechts"), true);
}

void CTrePlotDruckPP1::OnInitDialog()
{
    m_pLinksRechts = Control(1063);
    if (m_pLinksRechts) m_pLinksRechts->setEnabled(false);
}

const SCheckFlag<CTrePlotDruckPP1> kCurveChecks[] = {
    {1060, &CTrePlotDruckPP1::m_bPotOn},  {1064, &CTrePlotDruckPP1::m_bPotOff},  {1059, &CTrePlotDruckPP1::m_bIR},
    {1062, &CTrePlotDruckPP1::m_bGradOn}, {1065, &CTrePlotDruckPP1::m_bGradOff}, {1061, &CTrePlotDruckPP1::m_bDiff},
    {1063, &CTrePlotDruckPP1::m_bLR},
};

void CTrePlotDruckPP1::DataToControls() { ChecksToControls(*this, kCurveChecks); }

bool CTrePlotDruckPP1::ControlsToData(QString&, QWidget*&) { return ControlsToChecks(*this, kCurveChecks); }

// ---- " Y-Achsen " -------------------------------------------------------------

CTrePlotDruckPP2::CTrePlotDruckPP2(QWidget* parent)
    : CTrePrintPage(QStringLiteral(" Y-Achsen "), 163, 89, parent)
{
    AddGroup(7, 7, 70, 45, QStringLiteral("Potential  [ V ]  "));
    AddLabel(13, 20, 22, 8, QStringLiteral("Max :"));
    AddLabel(13, 35, 22, 8, QStringLiteral("Min :"));
    AddCombo(1056, 36, 18, 33, true, {"-4.00", "-3.50", "-3.00", "-2.50", "-2.00", "-1.50"});
    AddCombo(1058, 36, 33, 33, true, {"-0.50", "-0.40", "-0.30", "-0.20", "-0.10", "-0.00", "+0.10"});
    AddGroup(86, 7, 70, 45, QStringLiteral("Gradient  [ mV ]"));
    AddLabel(92, 21, 22, 8, QStringLiteral("Max :"));
    AddLabel(92, 35, 22, 8, QStringLiteral("Min :"));
    AddCombo(1059, 114, 19, 33, true, {"0", "20", "50", "100", "200", "400", "500", "800", "1000", "2000", "4000"});
    AddCombo(1060, 114, 33, 33, true, {"0", "-20", "-50", "-100", "-200", "-500", "-1000", "-2000", "-4000"});
}

void CTrePlotDruckPP2::DataToControls()
{
    Combo(*this, 1056)->setEditText(m_strPotMax);
    Combo(*this, 1058)->setEditText(m_strPotMin);
    Combo(*this, 1059)->setEditText(m_strGradMax);
    Combo(*this, 1060)->setEditText(m_strGradMin);
}

bool CTrePlotDruckPP2::ControlsToData(QString&, QWidget*&)
{
    m_strPotMax = Combo(*this, 1056)->currentText();
    m_strPotMin = Combo(*this, 1058)->currentText();
    m_strGradMax = Combo(*this, 1059)->currentText();
    m_strGradMin = Combo(*this, 1060)->currentText();
    return true;
}

// ---- " X-Achse " --------------------------------------------------------------

CTrePlotDruckPP3::CTrePlotDruckPP3(QWidget* parent)
    : CTrePrintPage(QStringLiteral(" X-Achse "), 217, 63, parent)
{
    AddGroup(7, 7, 98, 49, QStringLiteral("Bereich"));
    AddLabel(13, 21, 42, 8, QStringLiteral("Startmeter :"));
    AddLabel(13, 36, 42, 8, QStringLiteral("Endmeter :"));
    AddEdit(1058, 55, 19, 39, 12);
    AddEdit(1059, 55, 34, 39, 12);
    AddGroup(113, 7, 97, 49, QStringLiteral("Skalierung"));
    AddLabel(119, 19, 34, 8, QString::fromUtf8("Maßstab :"));
    AddCombo(1053, 155, 17, 43, false, {"1:100", "1:500", "1:1000", "1:2000", "1:5000", "1:10000"});
}

void CTrePlotDruckPP3::DataToControls()
{
    Edit(*this, 1058)->setText(QString::number(m_nStart));
    Edit(*this, 1059)->setText(QString::number(m_nEnd));
    QComboBox* scale = Combo(*this, 1053);
    scale->setCurrentIndex(scale->findText(m_strScale));
}

bool CTrePlotDruckPP3::ControlsToData(QString& message, QWidget*& focus)
{
    int start = 0, end = 0;
    if (!ExchangeInt(Edit(*this, 1058)->text(), 0, 999999, start, message)) {
        focus = Edit(*this, 1058);
        return false;
    }
    if (!ExchangeInt(Edit(*this, 1059)->text(), 0, 999999, end, message)) {
        focus = Edit(*this, 1059);
        return false;
    }
    m_nStart = start;
    m_nEnd = end;
    m_strScale = Combo(*this, 1053)->currentText();
    return true;
}

// ---- " Extras " ---------------------------------------------------------------

CTrePlotDruckPP4::CTrePlotDruckPP4(QWidget* parent)
    : CTrePrintPage(QStringLiteral(" Extras "), 167, 71, parent)
{
    AddGroup(7, 7, 81, 51, QStringLiteral("Layout"));
    AddCheck(1014, 15, 19, 60, 8, QStringLiteral("QM-Daten"));
    AddCheck(1048, 15, 31, 60, 8, QStringLiteral("Gitterraster"), true);
}

void CTrePlotDruckPP4::DataToControls() { SetChecked(1014, m_bQM); }

bool CTrePlotDruckPP4::ControlsToData(QString&, QWidget*&)
{
    m_bQM = IsChecked(1014);
    return true;
}

// ---- the sheet --------------------------------------------------------------

CTrePlotDruckPS::CTrePlotDruckPS(QWidget* parent)
    : CTrePrintSheet(QStringLiteral("Grafik drucken"), parent)
{
    AddPage(&m_page1);
    AddPage(&m_page2);
    AddPage(&m_page3);
    AddPage(&m_page4);
}

void CTrePlotDruckPS::LoadFromDoc(const CTreDoc& doc)
{
    m_page1.m_bPotOn = doc.m_bPlotPotOn;
    m_page1.m_bPotOff = doc.m_bPlotPotOff;
    m_page1.m_bIR = doc.m_bPlotIR;
    m_page1.m_bGradOn = doc.m_bPlotGradOn;
    m_page1.m_bGradOff = doc.m_bPlotGradOff;
    m_page1.m_bDiff = doc.m_bPlotGradDiff;
    m_page1.m_bLR = doc.m_bPlotLR;
    m_page4.m_bQM = doc.m_bPlotQM;
    m_page3.m_strScale = QStringLiteral("1:") + QString::fromStdString(tresnum::FormatInt(doc.m_nPlotScale));
    m_page2.m_strGradMax = QString::fromStdString(tresnum::FormatInt(doc.m_nGradAxisMax));
    m_page2.m_strGradMin = QString::fromStdString(tresnum::FormatInt(doc.m_nGradAxisMin));
    m_page2.m_strPotMax = QString::fromStdString(tresnum::VoltsText(doc.m_nPotAxisMax, 5));
    m_page2.m_strPotMin = QString::fromStdString(tresnum::VoltsText(doc.m_nPotAxisMin, 5));
    m_page3.m_nStart = doc.m_nPlotStart;
    m_page3.m_nEnd = doc.m_nPlotEnd;
}

void CTrePlotDruckPS::StoreToDoc(CTreDoc& doc) const
{
    doc.m_bPlotPotOn = m_page1.m_bPotOn;
    doc.m_bPlotPotOff = m_page1.m_bPotOff;
    doc.m_bPlotIR = m_page1.m_bIR;
    doc.m_bPlotGradOn = m_page1.m_bGradOn;
    doc.m_bPlotGradOff = m_page1.m_bGradOff;
    doc.m_bPlotGradDiff = m_page1.m_bDiff;
    doc.m_bPlotLR = m_page1.m_bLR;
    doc.m_bPlotQM = m_page4.m_bQM;
    // A scale the list does not hold leaves no text; the document keeps its
    // scale rather than becoming 1:0.
    const std::optional<int32_t> scale = tresnum::ParseIntPrefix(m_page3.m_strScale.mid(2).toStdString());
    if (scale && *scale > 0) doc.m_nPlotScale = *scale;
    doc.m_nPlotStart = m_page3.m_nStart;
    doc.m_nPlotEnd = m_page3.m_nEnd;
    doc.m_nGradAxisMax = tresnum::ParseIntPrefix(m_page2.m_strGradMax.toStdString()).value_or(0);
    doc.m_nGradAxisMin = tresnum::ParseIntPrefix(m_page2.m_strGradMin.toStdString()).value_or(0);
    // A German hand types "-1,25": the comma is read as the decimal point, as
    // in the error-list boxes, instead of ending the number at whole volts.
    auto volts = [](QString s) {
        s.replace(QLatin1Char(','), QLatin1Char('.'));
        return tresnum::TruncScaled(tresnum::ParseDoublePrefix(s.toStdString()), 1000.0).value_or(0);
    };
    doc.m_nPotAxisMax = volts(m_page2.m_strPotMax);
    doc.m_nPotAxisMin = volts(m_page2.m_strPotMin);
}
