// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablesheet.h"

#include "doc/tredoc.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QRadioButton>

// ---- "Spalten" --------------------------------------------------------------

CTreTabDruckPP1::CTreTabDruckPP1(QWidget* parent)
    : CTrePrintPage(QStringLiteral("Spalten"), 157, 71, parent)
{
    AddGroup(5, 5, 59, 51, QStringLiteral("Potential"));
    AddCheck(1041, 13, 18, 45, 8, QStringLiteral("Ein / Aus"), true);
    AddCheck(1042, 13, 30, 40, 8, QStringLiteral("IR-frei"));
    AddGroup(73, 5, 76, 51, QStringLiteral("Gradient"));
    m_pGradient = AddCheck(1043, 82, 18, 45, 8, QStringLiteral("Ein / Aus"));
    m_pDifferenz = AddCheck(1044, 82, 30, 61, 8, QStringLiteral("Differenz"));
    AddCheck(1045, 82, 42, 63, 8, QStringLiteral("Links + Rechts"));
}

void CTreTabDruckPP1::OnInitDialog()
{
    if (!m_bRightAvailable)
        if (QWidget* lr = Control(1045)) lr->setEnabled(false);
}

const SCheckFlag<CTreTabDruckPP1> kColumnChecks[] = {
    {1041, &CTreTabDruckPP1::m_bPot},  {1042, &CTreTabDruckPP1::m_bIR}, {1043, &CTreTabDruckPP1::m_bGrad},
    {1044, &CTreTabDruckPP1::m_bDiff}, {1045, &CTreTabDruckPP1::m_bLR},
};

void CTreTabDruckPP1::DataToControls() { ChecksToControls(*this, kColumnChecks); }

bool CTreTabDruckPP1::ControlsToData(QString&, QWidget*&) { return ControlsToChecks(*this, kColumnChecks); }

// ---- "Fehlerliste" ----------------------------------------------------------

CTreTabDruckPP2::CTreTabDruckPP2(QWidget* parent)
    : CTrePrintPage(QStringLiteral("Fehlerliste"), 135, 69, parent)
{
    AddGroup(5, 5, 94, 51, QStringLiteral("Optionen"));
    AddCheck(1014, 13, 18, 74, 9, QStringLiteral("Fehlerliste drucken"));
}

void CTreTabDruckPP2::DataToControls() { SetChecked(1014, m_bErrList); }

bool CTreTabDruckPP2::ControlsToData(QString&, QWidget*&)
{
    m_bErrList = IsChecked(1014);
    return true;
}

// ---- "Extras" ---------------------------------------------------------------

CTreTabDruckPP3::CTreTabDruckPP3(QWidget* parent)
    : CTrePrintPage(QStringLiteral("Extras"), 167, 71, parent)
{
    AddGroup(5, 5, 81, 51, QStringLiteral("Layout"));
    AddCheck(1081, 13, 18, 60, 8, QStringLiteral("QM-Daten"));
    AddCheck(1049, 13, 30, 69, 8, QStringLiteral("Zeilen grau/weiss"));
    AddCheck(1050, 13, 42, 69, 8, QStringLiteral("Arial-Schrift"));
    AddGroup(93, 5, 61, 51, QStringLiteral("Kopfdaten"));
    auto* group = new QButtonGroup(this);
    group->addButton(AddRadio(1138, 99, 18, 51, 10, QStringLiteral("Nummer")), 0);
    group->addButton(AddRadio(1139, 99, 30, 52, 10, QStringLiteral("Kunde")), 1);
}

const SCheckFlag<CTreTabDruckPP3> kLayoutChecks[] = {
    {1081, &CTreTabDruckPP3::m_bQM},
    {1049, &CTreTabDruckPP3::m_bLinesGW},
    {1050, &CTreTabDruckPP3::m_bArial},
};

void CTreTabDruckPP3::DataToControls()
{
    ChecksToControls(*this, kLayoutChecks);
    auto* group = findChild<QButtonGroup*>();
    // No choice: neither button is on.
    group->setExclusive(false);
    SetChecked(1138, m_nHeadChoice == 0);
    SetChecked(1139, m_nHeadChoice == 1);
    group->setExclusive(true);
}

bool CTreTabDruckPP3::ControlsToData(QString&, QWidget*&)
{
    ControlsToChecks(*this, kLayoutChecks);
    m_nHeadChoice = IsChecked(1138) ? 0 : IsChecked(1139) ? 1 : -1;
    return true;
}

CTreTabDruckPP4::CTreTabDruckPP4(QWidget* parent)
    : CTrePrintPage(QString(), 0, 0, parent)
{ }

// ---- the sheet --------------------------------------------------------------

CTreTabDruckPS::CTreTabDruckPS(QWidget* parent)
    : CTrePrintSheet(QStringLiteral("Tabelle drucken"), parent)
{
    AddPage(&m_page1);
    AddPage(&m_page2);
    AddPage(&m_page3);
    m_page4.setParent(this);
    m_page4.hide();
}

void CTreTabDruckPS::LoadFromDoc(CTreDoc& doc)
{
    m_page1.m_bPot = doc.m_bTabPot;
    m_page1.m_bIR = doc.m_bTabIR;
    m_page1.m_bGrad = doc.m_bTabGrad;
    m_page1.m_bLR = doc.m_bTabLR;
    m_page1.m_bDiff = doc.m_bTabDiff;
    m_page2.m_bErrList = doc.m_bTabErrList;
    m_page3.m_bArial = doc.m_bTabArial;
    m_page3.m_bLinesGW = doc.m_bTabLinesGW;
    m_page3.m_bQM = doc.m_bTabQM;
    m_page3.m_nHeadChoice = doc.m_bTabHeadNumber ? 0 : 1;
    m_page1.m_bRightAvailable = true;
    if (!doc.HasRightSide()) {
        m_page1.m_bLR = false;
        m_page1.m_bRightAvailable = false;
    }
}

void CTreTabDruckPS::StoreToDoc(CTreDoc& doc) const
{
    doc.m_bTabPot = m_page1.m_bPot;
    doc.m_bTabIR = m_page1.m_bIR;
    doc.m_bTabGrad = m_page1.m_bGrad;
    doc.m_bTabLR = m_page1.m_bLR;
    doc.m_bTabDiff = m_page1.m_bDiff;
    doc.m_bTabErrList = m_page2.m_bErrList;
    doc.m_bTabArial = m_page3.m_bArial;
    doc.m_bTabQM = m_page3.m_bQM;
    doc.m_bTabLinesGW = m_page3.m_bLinesGW;
    const bool number = m_page3.m_nHeadChoice != 1;
    doc.m_bTabHeadNumber = number;
    doc.m_bPlotHeadNumber = number;
}
