// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportsettingsdlg.h"

#include "ui/uiseam.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kNotStated = QStringLiteral("nicht angegeben");

} // namespace

QLineEdit* CReportSettingsDlg::Edit(const QString& text, const QString& tip)
{
    auto* edit = new QLineEdit(text, this);
    if (!tip.isEmpty()) edit->setToolTip(tip);
    return edit;
}

CReportSettingsDlg::CReportSettingsDlg(QWidget* parent, const SReportSettings& s)
    : QDialog(parent)
    , m_pCompany(new QLineEdit(s.company, this))
    , m_pLogo(new QLineEdit(s.logo, this))
    , m_pAuthor(Edit(s.author, QString::fromUtf8("Steht im Bericht unter „Erstellt“.")))
    , m_pElectrode(Edit(s.electrode, QString::fromUtf8("Gilt, wenn die Angaben des Messgeräts keine "
                                                       "„Bezugselektrode“ nennen.")))
    , m_pElectrodeCalibrated(Edit(s.electrodeCalibrated, QString()))
    , m_pInstrument(Edit(s.instrument, QString()))
    , m_pInstrumentCalibrated(Edit(s.instrumentCalibrated, QString()))
    , m_pSpacing(Edit(s.electrodeSpacing, QString::fromUtf8("Abstand der beiden Elektroden quer zur Leitung in m.")))
    , m_pOffDelay(Edit(s.offDelay, QString::fromUtf8("Wie viele ms nach dem Abschalten das Aus-Potential gemessen "
                                                     "wurde.")))
    , m_pSynchronous(new QComboBox(this))
    , m_pSurveyor(Edit(s.surveyor, QString()))
    , m_pQualification(Edit(s.qualification, QString()))
    , m_pConditions(Edit(s.conditions, QString()))
{
    setWindowTitle(QStringLiteral("Bericht"));
    auto* issuer = new QGroupBox(QStringLiteral("Aussteller"), this);
    auto* form = new QFormLayout(issuer);
    form->addRow(QStringLiteral("Firma:"), m_pCompany);
    for (size_t i = 0; i < m_address.size(); ++i) {
        m_address[i] = new QLineEdit(s.address[i], this);
        form->addRow(i == 0 ? QStringLiteral("Anschrift:") : QString(), m_address[i]);
    }
    auto* logoRow = new QHBoxLayout;
    logoRow->addWidget(m_pLogo, 1);
    auto* browse = new QPushButton(QString::fromUtf8("Durchsuchen…"), this);
    connect(browse, &QPushButton::clicked, this, &CReportSettingsDlg::OnBrowseLogo);
    logoRow->addWidget(browse);
    m_pLogo->setToolTip(QString::fromUtf8("PNG- oder SVG-Datei; der Bericht zeigt sie in 40 × 15 mm, "
                                          "ohne sie zu verzerren."));
    form->addRow(QStringLiteral("Logo:"), logoRow);
    form->addRow(QStringLiteral("Bearbeiter:"), m_pAuthor);

    // What the report prints under "Messung", "nicht angegeben" when empty.
    auto* survey = new QGroupBox(QString::fromUtf8("Messung (leer: „nicht angegeben“)"), this);
    auto* taken = new QFormLayout(survey);
    taken->addRow(QStringLiteral("Bezugselektrode:"), m_pElectrode);
    taken->addRow(QStringLiteral("Kalibrierdatum Bezugselektrode:"), m_pElectrodeCalibrated);
    taken->addRow(QString::fromUtf8("Messgerät:"), m_pInstrument);
    taken->addRow(QString::fromUtf8("Kalibrierdatum Messgerät:"), m_pInstrumentCalibrated);
    taken->addRow(QStringLiteral("Elektrodenabstand quer [m]:"), m_pSpacing);
    taken->addRow(QString::fromUtf8("Ausschaltverzögerung [ms]:"), m_pOffDelay);
    m_pSynchronous->addItem(kNotStated, QString());
    m_pSynchronous->addItem(QStringLiteral("ja"), QStringLiteral("ja"));
    m_pSynchronous->addItem(QStringLiteral("nein"), QStringLiteral("nein"));
    m_pSynchronous->setCurrentIndex(std::max(0, m_pSynchronous->findData(s.synchronous)));
    taken->addRow(QStringLiteral("Gleichrichter synchron geschaltet:"), m_pSynchronous);
    taken->addRow(QStringLiteral("Messender:"), m_pSurveyor);
    taken->addRow(QStringLiteral("Qualifikation:"), m_pQualification);
    taken->addRow(QStringLiteral("Witterung/Boden:"), m_pConditions);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addWidget(issuer);
    column->addWidget(survey);
    column->addWidget(buttons);
    setMinimumWidth(520);
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
    s.electrodeCalibrated = m_pElectrodeCalibrated->text().trimmed();
    s.instrument = m_pInstrument->text().trimmed();
    s.instrumentCalibrated = m_pInstrumentCalibrated->text().trimmed();
    if (!ReportDecimal(m_pSpacing->text(), s.electrodeSpacing)) s.electrodeSpacing = m_pSpacing->text().trimmed();
    if (!ReportDecimal(m_pOffDelay->text(), s.offDelay)) s.offDelay = m_pOffDelay->text().trimmed();
    s.synchronous = m_pSynchronous->currentData().toString();
    s.surveyor = m_pSurveyor->text().trimmed();
    s.qualification = m_pQualification->text().trimmed();
    s.conditions = m_pConditions->text().trimmed();
    return s;
}

void CReportSettingsDlg::accept()
{
    // A logo that cannot be read would stop every report later, and a
    // number that is none would be printed as it stands: say so now.
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
    const struct {
        QLineEdit* edit;
        const char* what;
    } numbers[] = {{m_pSpacing, "Elektrodenabstand quer"}, {m_pOffDelay, "Ausschaltverzögerung"}};
    for (const auto& n : numbers) {
        QString value;
        if (ReportDecimal(n.edit->text(), value)) continue;
        CUiSeam::Current().Message(this,
                                   QString::fromUtf8("%1: „%2“ ist keine Zahl (z. B. 1,5); leer bedeutet "
                                                     "„nicht angegeben“.")
                                       .arg(QString::fromUtf8(n.what), n.edit->text().trimmed()),
                                   QMessageBox::Warning);
        n.edit->setFocus();
        return;
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
