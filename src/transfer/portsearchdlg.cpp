// SPDX-License-Identifier: GPL-3.0-or-later
#include "portsearchdlg.h"

#include <QLabel>
#include <QProgressBar>

CPortSearchDlg::CPortSearchDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Tresmon 3.0"));
    setModal(false);
    // 152 x 33 dialog units of an 8-point dialog font
    setFixedSize(228, 54);
    m_pText = new QLabel(this);
    m_pText->setGeometry(13, 10, 200, 16);
    m_pProgress = new QProgressBar(this);
    m_pProgress->setGeometry(13, 29, 200, 16);
    m_pProgress->setRange(0, 100);
    m_pProgress->setTextVisible(false);
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
