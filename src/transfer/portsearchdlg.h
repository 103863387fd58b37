// SPDX-License-Identifier: GPL-3.0-or-later
// The small window that tells which port is being searched for the handheld.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

class CPortSearchDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPortSearchDlg(QWidget* parent = nullptr);

    void SetText(const QString& text);
    void SetProgress(int value);
    void StepProgress();
    QString Text() const;
    int Progress() const;

private:
    QLabel* m_pText;
    QProgressBar* m_pProgress;
};
