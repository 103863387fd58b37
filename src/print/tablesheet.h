// SPDX-License-Identifier: GPL-3.0-or-later
// The table print's option sheet "Tabelle drucken" with its pages
// "Spalten", "Fehlerliste" and "Extras".
#pragma once

#include "printsheet.h"

class CTreDoc;
class QAbstractButton;

class CTreTabDruckPP1 : public CTrePrintPage {
    Q_OBJECT
public:
    explicit CTreTabDruckPP1(QWidget* parent = nullptr);
    void DataToControls() override;
    bool ControlsToData(QString& message, QWidget*& focus) override;
    void OnInitDialog() override;

    bool m_bRightAvailable = false;          // set by the opener
    QAbstractButton* m_pDifferenz = nullptr; // control 1044
    QAbstractButton* m_pGradient = nullptr;  // control 1043
    bool m_bIR = false;
    bool m_bPot = false;
    bool m_bGrad = false;
    bool m_bLR = false;
    bool m_bDiff = false;
};

class CTreTabDruckPP2 : public CTrePrintPage {
    Q_OBJECT
public:
    explicit CTreTabDruckPP2(QWidget* parent = nullptr);
    void DataToControls() override;
    bool ControlsToData(QString& message, QWidget*& focus) override;

    bool m_bErrList = false;
};

class CTreTabDruckPP3 : public CTrePrintPage {
    Q_OBJECT
public:
    explicit CTreTabDruckPP3(QWidget* parent = nullptr);
    void DataToControls() override;
    bool ControlsToData(QString& message, QWidget*& focus) override;

    bool m_bArial = false;
    bool m_bLinesGW = true;
    bool m_bQM = false;
    int m_nHeadChoice = -1; // 0 "Nummer", 1 "Kunde", -1 none
};

// Built on an empty page; constructed with the sheet but never shown.
class CTreTabDruckPP4 : public CTrePrintPage {
    Q_OBJECT
public:
    explicit CTreTabDruckPP4(QWidget* parent = nullptr);
    void DataToControls() override { }
    bool ControlsToData(QString&, QWidget*&) override { return true; }
};

class CTreTabDruckPS : public CTrePrintSheet {
    Q_OBJECT
public:
    explicit CTreTabDruckPS(QWidget* parent = nullptr);
    ~CTreTabDruckPS() override
    {
        DetachPages();
        m_page4.setParent(nullptr);
    }

    // `doc` is not const: whether it has right-hand gradients is asked of it.
    void LoadFromDoc(CTreDoc& doc);
    void StoreToDoc(CTreDoc& doc) const;

    CTreTabDruckPP1 m_page1;
    CTreTabDruckPP2 m_page2;
    CTreTabDruckPP3 m_page3;
    CTreTabDruckPP4 m_page4;
};
