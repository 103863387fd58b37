// SPDX-License-Identifier: GPL-3.0-or-later
// "Ansicht" > "Karte": the map (mapview.h) in a dock of the main window,
// with the action that brings the whole survey into view and a line under
// the map that says what it cannot show.
#pragma once

#include <QDockWidget>

#include <memory>

class QAction;
class QLabel;

namespace tresmap {

class CMapView;
struct SMapScene;

class CMapDock : public QDockWidget {
    Q_OBJECT
public:
    explicit CMapDock(QWidget* parent = nullptr);
    ~CMapDock() override;

    CMapView* View() const { return m_pView; }
    QAction* FitAction() const { return m_pFit; }
    QLabel* NoteLabel() const { return m_pNote; }

    // A scene to draw (null: `message` instead).
    void Show(std::shared_ptr<const SMapScene> scene, const QString& message);

private:
    CMapView* m_pView = nullptr;
    QAction* m_pFit = nullptr;
    QLabel* m_pNote = nullptr;
};

} // namespace tresmap
