// SPDX-License-Identifier: GPL-3.0-or-later
// "Optionen" > "Bericht...": the issuer of the assessment report (company,
// up to three address lines, a logo as PNG or SVG), its author and the
// reference electrode assumed when a survey names none. The settings are
// the ones tresmon-tool report reads too.
#pragma once

#include "reportsettings.h"

#include <QDialog>

#include <array>

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

    void accept() override;

private:
    void OnBrowseLogo();

    QLineEdit* m_pCompany;
    std::array<QLineEdit*, 3> m_address{};
    QLineEdit* m_pLogo;
    QLineEdit* m_pAuthor;
    QLineEdit* m_pElectrode;
};
