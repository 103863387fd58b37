// SPDX-License-Identifier: GPL-3.0-or-later
// "Optionen" > "Bericht...": the issuer of the assessment report (company,
// up to three address lines, a logo as PNG or SVG), its author and the
// reference electrode assumed when a survey names none; and how the
// survey was taken, as one who checks the report asks for it (instrument and reference
// electrode with their calibration dates, lateral electrode spacing, the
// off reading's delay after switching off, the surveyor and qualification,
// whether the rectifiers switched synchronously, weather and soil). The
// settings are the ones tresmon-tool report reads too.
#pragma once

#include "print/reportsettings.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;

class CReportSettingsDlg : public QDialog {
    Q_OBJECT
public:
    CReportSettingsDlg(QWidget* parent, const SReportSettings& settings);
    SReportSettings Settings() const;

    QLineEdit* CompanyEdit() const { return m_pCompany; }
    QLineEdit* AddressEdit(int line) const { return m_address[static_cast<size_t>(line)]; }
    QLineEdit* LogoEdit() const { return m_pLogo; }
    QLineEdit* AuthorEdit() const { return m_pAuthor; }
    QLineEdit* ElectrodeEdit() const { return m_pElectrode; }
    QLineEdit* ElectrodeCalibratedEdit() const { return m_pElectrodeCalibrated; }
    QLineEdit* InstrumentEdit() const { return m_pInstrument; }
    QLineEdit* InstrumentCalibratedEdit() const { return m_pInstrumentCalibrated; }
    QLineEdit* SpacingEdit() const { return m_pSpacing; }
    QLineEdit* OffDelayEdit() const { return m_pOffDelay; }
    QComboBox* SynchronousBox() const { return m_pSynchronous; }
    QLineEdit* SurveyorEdit() const { return m_pSurveyor; }
    QLineEdit* QualificationEdit() const { return m_pQualification; }
    QLineEdit* ConditionsEdit() const { return m_pConditions; }

    void accept() override;

private:
    void OnBrowseLogo();
    QLineEdit* Edit(const QString& text, const QString& tip);

    QLineEdit* m_pCompany;
    std::array<QLineEdit*, 3> m_address{};
    QLineEdit* m_pLogo;
    QLineEdit* m_pAuthor;
    QLineEdit* m_pElectrode;
    QLineEdit* m_pElectrodeCalibrated;
    QLineEdit* m_pInstrument;
    QLineEdit* m_pInstrumentCalibrated;
    QLineEdit* m_pSpacing;
    QLineEdit* m_pOffDelay;
    QComboBox* m_pSynchronous;
    QLineEdit* m_pSurveyor;
    QLineEdit* m_pQualification;
    QLineEdit* m_pConditions;
};
