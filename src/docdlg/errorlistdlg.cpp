// SPDX-License-Identifier: GPL-3.0-or-later
#include "errorlistdlg.h"

#include "doc/tredoc.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

struct GroupSpec {
    const char* title;
    int firstPair;
    const char* rows[3];
};

const GroupSpec kGroups[4] = {
    {"Potential  [ V ]", POTE, {"Ein :", "Aus :", "IR-frei :"}},
    {"Gradient  [ mV ]", UEIN, {"Ein :", "Aus :", "Diff. :"}},
    {"Gradient Links [ mV ]", UEINL, {"Ein :", "Aus :", "Diff. :"}},
    {"Gradient Rechts [ mV ]", UEINR, {"Ein :", "Aus :", "Diff. :"}},
};

} // namespace

CErrorListDlg::CErrorListDlg(bool leftRight, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Fehlerlisten-Parameter"));
    auto* grid = new QGridLayout(this);
    for (int g = 0; g < 4; ++g) {
        const GroupSpec& spec = kGroups[g];
        auto* box = new QGroupBox(QString::fromUtf8(spec.title), this);
        auto* layout = new QGridLayout(box);
        layout->addWidget(new QLabel(QStringLiteral("Maximum"), box), 0, 1, Qt::AlignHCenter);
        layout->addWidget(new QLabel(QStringLiteral("Minimum"), box), 0, 2, Qt::AlignHCenter);
        for (int row = 0; row < 3; ++row) {
            const int k = spec.firstPair + row;
            layout->addWidget(new QLabel(QString::fromUtf8(spec.rows[row]), box), row + 1, 0);
            for (int side = 0; side < 2; ++side) {
                auto* edit = new QLineEdit(box);
                edit->setFixedWidth(64);
                edit->setObjectName(QStringLiteral("%1_%2").arg(LimitName(k), side == 0 ? "max" : "min"));
                layout->addWidget(edit, row + 1, side + 1);
                m_pBoxes[side == 0 ? k : k + 12] = edit;
            }
        }
        m_pGroups[g] = box;
        grid->addWidget(box, g / 2, g % 2);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    m_pClear = new QPushButton(QString::fromUtf8("Löschen"), this);
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_pClear, &QPushButton::clicked, this, &CErrorListDlg::OnClear);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(m_pClear);
    buttons->addWidget(cancel);
    buttons->addStretch();
    grid->addLayout(buttons, 2, 0, 1, 2);

    if (!leftRight) {
        // Only the potential and mean-gradient groups apply: drop the lower
        // row and shrink the dialog so the buttons sit right below them.
        m_pGroups[2]->hide();
        m_pGroups[3]->hide();
        grid->setRowStretch(1, 0);
        adjustSize();
        setFixedSize(sizeHint());
    } else {
        // The mean group is hidden where it stands; the dialog keeps its size.
        QSizePolicy keep = m_pGroups[1]->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        m_pGroups[1]->setSizePolicy(keep);
        m_pGroups[1]->hide();
        setFixedSize(sizeHint());
    }
}

QLineEdit* CErrorListDlg::Box(int k, bool maximum) const { return m_pBoxes[maximum ? k : k + 12]; }

void CErrorListDlg::SetTexts(const LimitBoxTexts& texts)
{
    for (int i = 0; i < 24; ++i) m_pBoxes[i]->setText(QString::fromStdString(texts[static_cast<size_t>(i)]));
}

LimitBoxTexts CErrorListDlg::Texts() const
{
    LimitBoxTexts texts;
    for (int i = 0; i < 24; ++i) texts[static_cast<size_t>(i)] = m_pBoxes[i]->text().toStdString();
    return texts;
}

void CErrorListDlg::OnClear()
{
    for (QLineEdit* box : m_pBoxes) box->clear();
}

void EditErrorListCommand(CTreDoc& doc, QWidget* parent)
{
    if (doc.m_bEmpty) return;
    CErrorListDlg dlg(doc.m_bTableLR, parent);
    dlg.SetTexts(LimitsToBoxTexts(doc.m_limits));
    if (dlg.exec() != QDialog::Accepted) return;
    const LimitArray limits = BoxTextsToLimits(dlg.Texts());
    // Changed windows must reach the file: as a step they mark the document,
    // so they are not lost when the program closes.
    doc.ChangeFields(EStepKind::ErrorLimits, [&limits](CTreDoc& d) { d.m_limits = limits; });
}
