// SPDX-License-Identifier: GPL-3.0-or-later
// The small window that tells which port is being searched for the handheld,
// with "Abbrechen" to end the search.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class CPortSearchDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPortSearchDlg(QWidget* parent = nullptr);

    void SetText(const QString& text);
    void SetProgress(int value);
    void StepProgress();
    QString Text() const;
    int Progress() const;
    // "Abbrechen" or Esc was pressed.
    bool Cancelled() const { return m_bCancelled; }
    QPushButton* CancelButton() const { return m_pCancel; }

    void reject() override;

private:
    QLabel* m_pText;
    QProgressBar* m_pProgress;
    QPushButton* m_pCancel;
    bool m_bCancelled = false;
};
