// SPDX-License-Identifier: GPL-3.0-or-later
#include "aboutdlg.h"

#include "tresversion.h"
#include "ui/artwork.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8("Info über Tresmon 3.0"));
    auto* icon = new QLabel(this);
    icon->setPixmap(artwork::ProgramIcon().pixmap(32, 32));
    auto* name = new QLabel(QStringLiteral("Tresmon 3.0"), this);
    auto* version = new QLabel(QStringLiteral("Version " TRES_VERSION), this);
    version->setObjectName(QStringLiteral("version"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(name, 0, 1);
    grid->addWidget(version, 1, 1);
    grid->addWidget(ok, 0, 2, Qt::AlignTop);
    grid->setColumnMinimumWidth(1, 180);
    setFixedSize(sizeHint());
}
