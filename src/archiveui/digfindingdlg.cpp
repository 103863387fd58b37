// SPDX-License-Identifier: GPL-3.0-or-later
#include "digfindingdlg.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

// "0,4", "-1.5" or empty (none); false for anything else.
bool ReadOffset(const QString& text, std::optional<double>& out)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        out.reset();
        return true;
    }
    bool ok = false;
    const double v = QString(t).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(v)) return false;
    out = v;
    return true;
}

} // namespace

bool AskDigFinding(QWidget* parent, const QString& where, tresarchive::SDigRecord& record)
{
    QDialog dlg(parent);
    dlg.setObjectName(QStringLiteral("digFinding"));
    dlg.setWindowTitle(QStringLiteral("Befund erfassen"));
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(new QLabel(where, &dlg));
    auto* form = new QFormLayout;
    auto* date = new QDateEdit(QDate::currentDate(), &dlg);
    date->setObjectName(QStringLiteral("date"));
    date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    date->setCalendarPopup(true);
    form->addRow(QStringLiteral("Aufgegraben am:"), date);
    auto* finding = new QPlainTextEdit(&dlg);
    finding->setObjectName(QStringLiteral("finding"));
    finding->setPlaceholderText(QString::fromUtf8("z. B. Umhüllungsschaden 3 cm², Bitumen abgelöst"));
    form->addRow(QStringLiteral("Befund:"), finding);
    auto* repaired = new QCheckBox(QStringLiteral("Instand gesetzt"), &dlg);
    repaired->setObjectName(QStringLiteral("repaired"));
    form->addRow(QString(), repaired);
    auto* offset = new QLineEdit(&dlg);
    offset->setObjectName(QStringLiteral("offset"));
    offset->setPlaceholderText(QString::fromUtf8("m, leer: an der angezeigten Stelle"));
    form->addRow(QString::fromUtf8("Versatz zur Anzeige [m]:"), offset);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, [&] {
        std::optional<double> value;
        if (finding->toPlainText().trimmed().isEmpty())
            QMessageBox::warning(&dlg, dlg.windowTitle(), QString::fromUtf8("Was hat die Aufgrabung ergeben?"));
        else if (!ReadOffset(offset->text(), value))
            QMessageBox::warning(&dlg, dlg.windowTitle(),
                                 QString::fromUtf8("Der Versatz „%1“ ist keine Zahl in Metern.").arg(offset->text()));
        else dlg.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    if (dlg.exec() != QDialog::Accepted) return false;
    record.date = date->date().toString(Qt::ISODate).toStdString();
    record.finding = finding->toPlainText().trimmed().toStdString();
    record.repaired = repaired->isChecked();
    ReadOffset(offset->text(), record.offset);
    return true;
}
