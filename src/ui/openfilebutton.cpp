// SPDX-License-Identifier: GPL-3.0-or-later
#include "openfilebutton.h"

#include "uiseam.h"

#include <QDir>
#include <QFileInfo>

COpenFileButton::COpenFileButton(QWidget* parent)
    : QToolButton(parent)
{
    setObjectName(QStringLiteral("openOutput"));
    setAutoRaise(true);
    hide();
    connect(this, &QToolButton::clicked, this, &COpenFileButton::Open);
}

void COpenFileButton::SetFile(const QString& file)
{
    m_strFile = file;
    setText(QStringLiteral("Öffnen: ") + QFileInfo(file).fileName());
    setToolTip(QString::fromUtf8("„%1“ mit dem zugehörigen Programm öffnen").arg(QDir::toNativeSeparators(file)));
    show();
}

void COpenFileButton::Open()
{
    if (m_strFile.isEmpty()) return;
    const QString shown = QDir::toNativeSeparators(m_strFile);
    if (!QFileInfo::exists(m_strFile)) {
        CUiSeam::Current().Message(window(), QString::fromUtf8("Die Datei „%1“ ist nicht mehr vorhanden.").arg(shown),
                                   QMessageBox::Warning);
        return;
    }
    if (!CUiSeam::Current().OpenFile(m_strFile))
        CUiSeam::Current().Message(window(),
                                   QString::fromUtf8("Die Datei „%1“ konnte nicht geöffnet werden.").arg(shown),
                                   QMessageBox::Warning);
}
