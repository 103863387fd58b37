// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportsettingsdlg.h"

#include "uiseam.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

CReportSettingsDlg::CReportSettingsDlg(QWidget* parent, const SReportSettings& s)
    : QDialog(parent)
    , m_pCompany(new QLineEdit(s.company, this))
    , m_pLogo(new QLineEdit(s.logo, this))
    , m_pAuthor(new QLineEdit(s.author, this))
    , m_pElectrode(new QLineEdit(s.electrode, this))
{
    setWindowTitle(QStringLiteral("Bericht"));
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Firma:"), m_pCompany);
    for (size_t i = 0; i < m_address.size(); ++i) {
        m_address[i] = new QLineEdit(s.address[i], this);
        form->addRow(i == 0 ? QStringLiteral("Anschrift:") : QString(), m_address[i]);
    }
    auto* logoRow = new QHBoxLayout;
    logoRow->addWidget(m_pLogo, 1);
    auto* browse = new QPushButton(QStringLiteral("Durchsuchen..."), this);
    connect(browse, &QPushButton::clicked, this, &CReportSettingsDlg::OnBrowseLogo);
    logoRow->addWidget(browse);
    m_pLogo->setToolTip(QString::fromUtf8("PNG- oder SVG-Datei; der Bericht zeigt sie in 40 × 15 mm, "
                                          "ohne sie zu verzerren."));
    form->addRow(QStringLiteral("Logo:"), logoRow);
    form->addRow(QStringLiteral("Bearbeiter:"), m_pAuthor);
    m_pAuthor->setToolTip(QString::fromUtf8("Steht im Bericht unter „Erstellt“."));
    form->addRow(QStringLiteral("Bezugselektrode:"), m_pElectrode);
    m_pElectrode->setToolTip(QString::fromUtf8("Gilt, wenn die Angaben des Messgeräts keine „Bezugselektrode“ "
                                               "nennen."));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    setMinimumWidth(480);
}

SReportSettings CReportSettingsDlg::Settings() const
{
    SReportSettings s;
    s.company = m_pCompany->text().trimmed();
    for (size_t i = 0; i < m_address.size(); ++i) s.address[i] = m_address[i]->text().trimmed();
    s.logo = m_pLogo->text().trimmed();
    s.author = m_pAuthor->text().trimmed();
    s.electrode = m_pElectrode->text().trimmed();
    if (s.electrode.isEmpty()) s.electrode = QString::fromLatin1(kDefaultElectrode);
    return s;
}

void CReportSettingsDlg::accept()
{
    // A logo that cannot be read would stop every report later: say so now.
    const QString logo = m_pLogo->text().trimmed();
    if (!logo.isEmpty()) {
        CReportLogo probe;
        QString error;
        if (!probe.Load(logo, &error)) {
            CUiSeam::Current().Message(this, error, QMessageBox::Warning);
            m_pLogo->setFocus();
            return;
        }
    }
    QDialog::accept();
}

void CReportSettingsDlg::OnBrowseLogo()
{
    // An image, not a survey: this dialog has its own filter.
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Logo"), m_pLogo->text(),
                                                      QStringLiteral("Bilder (*.png *.svg);;Alle Dateien (*)"));
    if (!file.isEmpty()) m_pLogo->setText(file);
}
