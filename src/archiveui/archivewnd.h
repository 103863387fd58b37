// SPDX-License-Identifier: GPL-3.0-or-later
// "Archiv öffnen…": the archive's pipelines and, under each, its surveys
// by date with their key figures. "Öffnen", "Als Vergleich" and "Bericht"
// ask the main window for the selected survey; the window itself only
// shows what the archive session listed.
#pragma once

#include "archive/store.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

class CArchiveWnd : public QDialog {
    Q_OBJECT
public:
    explicit CArchiveWnd(QWidget* parent);

    // The list as read from the archive at `shownLocation`.
    void Show(const QString& shownLocation, const std::vector<tresarchive::SPipelineEntry>& pipelines);
    // The survey selected; 0: none.
    long long SelectedSurvey() const;
    // Selects survey `id` (tests, and the list read again after an add).
    bool SelectSurvey(long long id);
    QTreeWidget* List() const { return m_pList; }
    // Wide enough for every column of the surveys.
    QSize sizeHint() const override;

signals:
    void OpenRequested(long long id);
    void CompareRequested(long long id);
    void ReportRequested(long long id);
    void RefreshRequested();

private:
    void UpdateButtons();
    void FitColumns();

    QLabel* m_pLocation = nullptr;
    QTreeWidget* m_pList = nullptr;
    QPushButton* m_pOpen = nullptr;
    QPushButton* m_pCompare = nullptr;
    QPushButton* m_pReport = nullptr;
};
