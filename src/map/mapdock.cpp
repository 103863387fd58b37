// SPDX-License-Identifier: GPL-3.0-or-later
#include "mapdock.h"

#include "mapview.h"

#include <QAction>
#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>

namespace tresmap {

CMapDock::CMapDock(QWidget* parent)
    : QDockWidget(QStringLiteral("Karte"), parent)
{
    setObjectName(QStringLiteral("map"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto* bar = new QToolBar(body);
    bar->setIconSize(QSize(16, 16));
    m_pFit = bar->addAction(QStringLiteral("Einpassen"));
    m_pFit->setToolTip(QString::fromUtf8("Zeigt die ganze Trasse und Messung"));
    layout->addWidget(bar);
    m_pView = new CMapView(body);
    layout->addWidget(m_pView, 1);
    m_pNote = new QLabel(body);
    m_pNote->setWordWrap(true);
    m_pNote->hide();
    layout->addWidget(m_pNote);
    setWidget(body);
    connect(m_pFit, &QAction::triggered, m_pView, &CMapView::Fit);
}

CMapDock::~CMapDock() = default;

void CMapDock::Show(std::shared_ptr<const SMapScene> scene, const QString& message)
{
    QString note;
    if (scene && scene->defectsOffRoute > 0)
        note = QString::fromUtf8("%1 Fehlstellen außerhalb der Trasse sind nicht eingezeichnet.")
                   .arg(scene->defectsOffRoute);
    m_pNote->setText(note);
    m_pNote->setVisible(!note.isEmpty());
    m_pFit->setEnabled(scene != nullptr);
    m_pView->SetMessage(message);
    m_pView->SetScene(std::move(scene));
}

} // namespace tresmap
