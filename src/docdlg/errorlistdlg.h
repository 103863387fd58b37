// SPDX-License-Identifier: GPL-3.0-or-later
// "Fehlerlisten-Parameter": the limit windows of the error list, as texts.
// What the texts mean is decided by LimitsToBoxTexts / BoxTextsToLimits.
#pragma once

#include "doc/errorlimits.h"

class CTreDoc;

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;

class CErrorListDlg : public QDialog {
    Q_OBJECT
public:
    // `leftRight` chooses between the mean-gradient group and the left and
    // right groups, as the table shows its gradients.
    explicit CErrorListDlg(bool leftRight, QWidget* parent = nullptr);

    void SetTexts(const LimitBoxTexts& texts);
    LimitBoxTexts Texts() const;

    // Box of pair k: `maximum` the "Maximum" box, otherwise "Minimum".
    QLineEdit* Box(int k, bool maximum) const;
    QGroupBox* Group(int index) const { return m_pGroups[index]; } // 0 potential, 1 mean, 2 left, 3 right
    QPushButton* ClearButton() const { return m_pClear; }

    // "Löschen": every box empty, visible or not.
    void OnClear();

private:
    QLineEdit* m_pBoxes[24] = {};
    QGroupBox* m_pGroups[4] = {};
    QPushButton* m_pClear = nullptr;
};

// "Fehlerliste" > "Bearbeiten..." on `doc`: the dialog over `parent`, then
// the changed windows as one step; nothing for an empty survey.
void EditErrorListCommand(CTreDoc& doc, QWidget* parent);
