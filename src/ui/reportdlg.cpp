// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportdlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

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
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Weiter..."));
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
    return r;
}
