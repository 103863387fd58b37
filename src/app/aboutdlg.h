// SPDX-License-Identifier: GPL-3.0-or-later
// "Info über Tresmon 3.0".
#pragma once

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
