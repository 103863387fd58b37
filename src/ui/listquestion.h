// SPDX-License-Identifier: GPL-3.0-or-later
// A question about more items than a message box can show, such as every
// fixed point a re-stationing found: the text, every item in a list that
// scrolls, the text after it, and the buttons.
#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QStringList>

class QListWidget;

struct SListQuestion {
    QString text;
    QStringList items;
    QString after;
};

class CListQuestionDlg : public QDialog {
public:
    CListQuestionDlg(QWidget* parent, const SListQuestion& question, QMessageBox::StandardButtons buttons,
                     QMessageBox::StandardButton defaultButton);
    QListWidget* List() const { return m_pList; }
    // The button pressed; Cancel or NoButton when the dialog was closed.
    QMessageBox::StandardButton Answer() const { return m_answer; }

private:
    QListWidget* m_pList;
    QMessageBox::StandardButton m_answer;
};
