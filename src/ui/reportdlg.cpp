// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportdlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <cstdlib>

namespace {

const int kSectionLengths[] = {500, 1000, 2000};

} // namespace

const int* ReportSectionLengths(int& count)
{
    count = static_cast<int>(std::size(kSectionLengths));
    return kSectionLengths;
}

CReportDlg::CReportDlg(QWidget* parent, const SReportRequest& request)
    : QDialog(parent)
    , m_pNumber(new QLineEdit(request.number, this))
    , m_pRevision(new QLineEdit(request.revision, this))
    , m_pSection(new QComboBox(this))
    , m_pMerge(new QSpinBox(this))
    , m_pFinal(new QCheckBox(QStringLiteral("Endfassung"), this))
{
    setWindowTitle(QStringLiteral("Bewertungsbericht"));
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Berichtsnummer:"), m_pNumber);
    form->addRow(QStringLiteral("Revision:"), m_pRevision);
    int nearest = 0;
    for (int i = 0; i < static_cast<int>(std::size(kSectionLengths)); ++i) {
        m_pSection->addItem(QStringLiteral("%1 m").arg(kSectionLengths[i]), kSectionLengths[i]);
        if (std::abs(kSectionLengths[i] - request.sectionLength)
            < std::abs(kSectionLengths[nearest] - request.sectionLength))
            nearest = i;
    }
    m_pSection->setCurrentIndex(nearest);
    m_pSection->setToolTip(QString::fromUtf8("So viele Meter der Messung zeigt ein Blatt des Berichts."));
    form->addRow(QString::fromUtf8("Abschnitt je Blatt:"), m_pSection);
    m_pMerge->setRange(0, 1000);
    m_pMerge->setValue(request.merge);
    m_pMerge->setSuffix(QStringLiteral(" Punkte"));
    m_pMerge->setToolTip(QString::fromUtf8("Die Tabelle der auffälligen Abschnitte fasst Abschnitte eines Status "
                                           "zusammen, die weniger Punkte eines anderen bewerteten Status trennen, "
                                           "und nennt die Unterbrechungen; 0: keine."));
    form->addRow(QString::fromUtf8("Zusammenfassen unter:"), m_pMerge);
    m_pFinal->setChecked(request.final);
    m_pFinal->setToolTip(QString::fromUtf8("Ein Entwurf (ohne Herausgeber, mit angenommenem Schutzkriterium oder "
                                           "mit Warnungen der Leitungsdaten) wird dann nicht geschrieben."));
    form->addRow(QString(), m_pFinal);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8("Weiter…"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

SReportRequest CReportDlg::Request() const
{
    SReportRequest r;
    r.number = m_pNumber->text().trimmed();
    r.revision = m_pRevision->text().trimmed();
    r.sectionLength = m_pSection->currentData().toInt();
    r.merge = m_pMerge->value();
    r.final = m_pFinal->isChecked();
    return r;
}
