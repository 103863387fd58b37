// SPDX-License-Identifier: GPL-3.0-or-later
#include "archiveoptionsdlg.h"

#include "archive/location.h"
#include "archivesession.h"
#include "ui/uiseam.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CArchiveOptionsDlg::CArchiveOptionsDlg(QWidget* parent, const std::string& location)
    : QDialog(parent)
    , m_original(location)
    , m_masked(QString::fromStdString(tresarchive::MaskedLocation(location)))
{
    setObjectName(QStringLiteral("archiveOptions"));
    setWindowTitle(QStringLiteral("Archiv"));
    auto* grid = new QGridLayout(this);
    auto* intro = new QLabel(QString::fromUtf8("Archivdatei (GeoPackage) oder Verbindung zu PostgreSQL "
                                               "(postgresql://…, host=… dbname=…, service=…). Leer: die "
                                               "Archivdatei des Benutzers."),
                             this);
    intro->setWordWrap(true);
    grid->addWidget(intro, 0, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("&Archiv:"), this), 1, 0);
    m_pField = new QLineEdit(m_masked, this);
    m_pField->setObjectName(QStringLiteral("archiveLocation"));
    m_pField->setPlaceholderText(QString::fromStdString(tresarchive::DefaultArchivePath()));
    m_pField->setClearButtonEnabled(true);
    m_pField->setMinimumWidth(fontMetrics().averageCharWidth() * 56);
    m_pField->setCursorPosition(0);
    static_cast<QLabel*>(grid->itemAtPosition(1, 0)->widget())->setBuddy(m_pField);
    grid->addWidget(m_pField, 1, 1);
    auto* browse = new QPushButton(QStringLiteral("&Durchsuchen…"), this);
    grid->addWidget(browse, 1, 2);
    auto* passwords = new QLabel(QString::fromUtf8("Passwörter werden nicht hier gespeichert, sondern in "
                                                   "~/.pgpass, der Dienstdatei oder PGPASSWORD."),
                                 this);
    passwords->setWordWrap(true);
    grid->addWidget(passwords, 2, 0, 1, 3);
    auto* check = new QPushButton(QString::fromUtf8("&Verbindung prüfen"), this);
    check->setObjectName(QStringLiteral("checkConnection"));
    auto* checkRow = new QHBoxLayout;
    checkRow->addWidget(check, 0, Qt::AlignTop);
    m_pResult = new QLabel(this);
    m_pResult->setObjectName(QStringLiteral("checkResult"));
    m_pResult->setWordWrap(true);
    m_pResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    checkRow->addWidget(m_pResult, 1);
    grid->addLayout(checkRow, 3, 1, 1, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    grid->addWidget(buttons, 4, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);

    connect(browse, &QPushButton::clicked, this, &CArchiveOptionsDlg::Browse);
    connect(check, &QPushButton::clicked, this, &CArchiveOptionsDlg::CheckConnection);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pField, &QLineEdit::textEdited, m_pResult, &QLabel::clear);
}

std::string CArchiveOptionsDlg::Location() const
{
    const QString text = m_pField->text().trimmed();
    // The masked form left as it was stands for the location with its password.
    if (text == m_masked.trimmed()) return m_original;
    return text.toStdString();
}

void CArchiveOptionsDlg::Browse()
{
    const std::string now = Location();
    const QString initial = QString::fromStdString(
        now.empty() || tresarchive::IsConnectionString(now) ? tresarchive::DefaultArchivePath() : now);
    const QString path = CUiSeam::Current().OpenFileName(this, QStringLiteral("Archivdatei"), initial,
                                                         QStringLiteral("Tresmon-Archive (*.gpkg *.sqlite *.db);;"
                                                                        "Alle Dateien (*)"),
                                                         QStringLiteral("gpkg"));
    if (path.isEmpty()) return;
    m_pField->setText(path);
    m_pField->setCursorPosition(0);
    m_pResult->clear();
}

void CArchiveOptionsDlg::CheckConnection()
{
    QString text;
    const bool ok = CArchiveSession::Check(this, Location(), text);
    m_pResult->setText(text);
    m_pResult->setStyleSheet(ok ? QString() : QStringLiteral("color: #a00000"));
}
