// SPDX-License-Identifier: GPL-3.0-or-later
#include "portsearchdlg.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

CPortSearchDlg::CPortSearchDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Tresmon 3.0"));
    setModal(false);
    m_pText = new QLabel(this);
    m_pText->setGeometry(13, 10, 200, 16);
    m_pProgress = new QProgressBar(this);
    m_pProgress->setGeometry(13, 29, 200, 16);
    m_pProgress->setRange(0, 100);
    m_pProgress->setTextVisible(false);
    // A search on a line that never answers waits out every time-out: the
    // user may end it instead.
    m_pCancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    const QSize button = m_pCancel->sizeHint();
    m_pCancel->setGeometry(213 - button.width(), 54, button.width(), button.height());
    connect(m_pCancel, &QPushButton::clicked, this, &CPortSearchDlg::reject);
    // 152 x 33 dialog units of an 8-point dialog font, and the button's row
    setFixedSize(228, 54 + button.height() + 10);
}

void CPortSearchDlg::reject()
{
    m_bCancelled = true;
    m_pCancel->setEnabled(false);
    SetText(QStringLiteral("Suche wird abgebrochen …"));
}

void CPortSearchDlg::SetText(const QString& text)
{
    m_pText->setText(text);
    m_pText->repaint();
}

void CPortSearchDlg::SetProgress(int value) { m_pProgress->setValue(value); }

void CPortSearchDlg::StepProgress()
{
    // A step past the end starts over, as the progress control always did.
    const int next = m_pProgress->value() + 1;
    m_pProgress->setValue(next > m_pProgress->maximum() ? m_pProgress->minimum() : next);
}

QString CPortSearchDlg::Text() const { return m_pText->text(); }
int CPortSearchDlg::Progress() const { return m_pProgress->value(); }
