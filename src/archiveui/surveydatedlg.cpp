// SPDX-License-Identifier: GPL-3.0-or-later
#include "surveydatedlg.h"

#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

bool AskSurveyDate(QWidget* parent, const QString& headerEntry, std::string& iso)
{
    QDialog dlg(parent);
    dlg.setObjectName(QStringLiteral("surveyDate"));
    dlg.setWindowTitle(QStringLiteral("Messdatum"));
    auto* layout = new QVBoxLayout(&dlg);
    auto* text = new QLabel(QString::fromUtf8("Das Messdatum „%1“ (Kopfeintrag 1) ist kein Datum der Form TT.MM.JJ "
                                              "oder TT.MM.JJJJ.\nAn welchem Tag wurde gemessen?")
                                .arg(headerEntry),
                            &dlg);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* date = new QDateEdit(QDate::currentDate(), &dlg);
    date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    date->setCalendarPopup(true);
    layout->addWidget(date);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    if (dlg.exec() != QDialog::Accepted) return false;
    iso = date->date().toString(Qt::ISODate).toStdString();
    return true;
}
