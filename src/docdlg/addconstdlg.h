// SPDX-License-Identifier: GPL-3.0-or-later
// "Konstante addieren": which quantity, the metre range and the constant.
#pragma once

#include "doc/tredoc.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;

class CAddConstDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAddConstDlg(QWidget* parent = nullptr);

    void SetStart(int32_t metre);
    void SetEnd(int32_t metre);

    EAddQuantity Quantity() const;
    int32_t Start() const { return m_nStart; }
    int32_t End() const { return m_nEnd; }
    int32_t Constant() const { return m_nConstant; }

    QComboBox* QuantityList() const { return m_pQuantity; }
    QLabel* ConstantLabel() const { return m_pConstantLabel; }
    QLineEdit* StartEdit() const { return m_pStart; }
    QLineEdit* EndEdit() const { return m_pEnd; }
    QLineEdit* ConstantEdit() const { return m_pConstant; }

    void accept() override;

private:
    void OnQuantityChanged();
    // Reads an integer field; on a bad entry the standard message is shown,
    // the field gets the focus and false comes back.
    bool TakeInt(QLineEdit* edit, int64_t min, int64_t max, bool ranged, int32_t& out);

    QComboBox* m_pQuantity;
    QLabel* m_pConstantLabel;
    QLineEdit* m_pStart;
    QLineEdit* m_pEnd;
    QLineEdit* m_pConstant;
    int32_t m_nStart = 0;
    int32_t m_nEnd = 0;
    int32_t m_nConstant = 0;
};

// "Bearbeiten" > "Konstante addieren" on `doc`: the dialog over `parent`,
// then the shift as one step; nothing for an empty survey.
void AddConstantCommand(CTreDoc& doc, QWidget* parent);
