// SPDX-License-Identifier: GPL-3.0-or-later
#include "addconstdlg.h"

#include "ui/uiseam.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

CAddConstDlg::CAddConstDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Konstante addieren"));
    m_pQuantity = new QComboBox(this);
    for (EAddQuantity q :
         {EAddQuantity::Meter, EAddQuantity::PotOn, EAddQuantity::PotOff, EAddQuantity::GradOn, EAddQuantity::GradOff})
        m_pQuantity->addItem(QString::fromUtf8(AddQuantityName(q)));
    m_pStart = new QLineEdit(QStringLiteral("0"), this);
    m_pEnd = new QLineEdit(QStringLiteral("0"), this);
    m_pConstant = new QLineEdit(QStringLiteral("0"), this);
    m_pConstantLabel = new QLabel(QStringLiteral("Konstante [m] :"), this);
    connect(m_pQuantity, &QComboBox::currentIndexChanged, this, &CAddConstDlg::OnQuantityChanged);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Abbruch"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CAddConstDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CAddConstDlg::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QString::fromUtf8("Spalte für Addition"), this), 0, 0, 1, 2);
    grid->addWidget(m_pQuantity, 1, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Startmeter :"), this), 2, 0);
    grid->addWidget(m_pStart, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Endmeter :"), this), 3, 0);
    grid->addWidget(m_pEnd, 3, 1);
    grid->addWidget(m_pConstantLabel, 4, 0);
    grid->addWidget(m_pConstant, 4, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 5, 1);
}

void CAddConstDlg::SetStart(int32_t metre) { m_pStart->setText(QString::number(metre)); }
void CAddConstDlg::SetEnd(int32_t metre) { m_pEnd->setText(QString::number(metre)); }

EAddQuantity CAddConstDlg::Quantity() const
{
    return static_cast<EAddQuantity>(std::max(0, m_pQuantity->currentIndex()));
}

void CAddConstDlg::OnQuantityChanged()
{
    const bool metre = Quantity() == EAddQuantity::Meter;
    m_pConstantLabel->setText(metre ? QStringLiteral("Konstante [m] :") : QStringLiteral("Konstante [mV] :"));
}

bool CAddConstDlg::TakeInt(QLineEdit* edit, int64_t min, int64_t max, bool ranged, int32_t& out)
{
    bool ok = false;
    const qlonglong v = edit->text().trimmed().toLongLong(&ok);
    if (ok && v >= min && v <= max) {
        out = static_cast<int32_t>(v);
        return true;
    }
    const QString text
        = ranged ? QStringLiteral("Geben Sie bitte eine ganze Zahl zwischen %1 und %2 ein.").arg(min).arg(max)
                 : QStringLiteral("Geben Sie bitte eine ganze Zahl ein.");
    CUiSeam::Current().Message(this, text, QMessageBox::Warning);
    edit->setFocus();
    edit->selectAll();
    return false;
}

void CAddConstDlg::accept()
{
    if (!TakeInt(m_pStart, 0, 999999, true, m_nStart)) return;
    if (!TakeInt(m_pEnd, 0, 999999, true, m_nEnd)) return;
    if (!TakeInt(m_pConstant, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), false,
                 m_nConstant))
        return;
    QDialog::accept();
}

void AddConstantCommand(CTreDoc& doc, QWidget* parent)
{
    if (doc.m_bEmpty) return;
    CAddConstDlg dlg(parent);
    dlg.SetStart(doc.AddConstantStart());
    dlg.SetEnd(doc.AddConstantEnd());
    if (dlg.exec() == QDialog::Accepted) doc.AddConstant(dlg.Quantity(), dlg.Start(), dlg.End(), dlg.Constant());
    else doc.UpdateAllViews();
}
