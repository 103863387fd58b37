// SPDX-License-Identifier: GPL-3.0-or-later
// The graphic print's option sheet "Grafik drucken" with its pages
// " Kurven ", " Y-Achsen ", " X-Achse " and " Extras ".
#pragma once

#include "printsheet.h"

class CTreDoc;

class CTrePlotDruckPP1 : public CTrePrintPage {
    Q_OBJECT
public:
    explicit CTrePlotDruckPP1(QWidget* parent = nullptr);
    void DataToControls() override;
    bool ControlsToData(QString& message, QWidget*& focus) override;
    void OnInitDialog() override;

    QWidget* m_pLinksRechts = nullptr; // control 1063
    bool m_bIR = false;
    bool m_bLR = false;
    bool m_bDiff = false;
    bool m_bPotOff = false;
    bool m_bPotOn = false;
    bool m_bGradOff = false;
    bool m_bGradOn = false;
};

class CTrePlotDruckPP2 : public CTrePrintPage {
    Q_OBJECT
public:
    explicit CTrePlotDruckPP2(QWidget* parent = nullptr);
    void DataToControls() override;
    bool ControlsToData(QString& message, QWidget*& focus) override;

    QString m_strPotMax;
    QString m_strPotMin;
    QString m_strGradMax;
    QString m_strGradMin;
};

class CTrePlotDruckPP3 : public CTrePrintPage {
    Q_OBJECT
public:
    explicit CTrePlotDruckPP3(QWidget* parent = nullptr);
    void DataToControls() override;
    bool ControlsToData(QString& message, QWidget*& focus) override;

    QString m_strScale;
    int m_nEnd = 0;
    int m_nStart = 0;
};

class CTrePlotDruckPP4 : public CTrePrintPage {
    Q_OBJECT
public:
    explicit CTrePlotDruckPP4(QWidget* parent = nullptr);
    void DataToControls() override;
    bool ControlsToData(QString& message, QWidget*& focus) override;

    bool m_bQM = false;
};

class CTrePlotDruckPS : public CTrePrintSheet {
    Q_OBJECT
public:
    explicit CTrePlotDruckPS(QWidget* parent = nullptr);
    ~CTrePlotDruckPS() override { DetachPages(); }

    // The document's graphic-print settings onto the pages (the range
    // defaults must already be in the document).
    void LoadFromDoc(const CTreDoc& doc);
    // The pages' values into the document, after the sheet ended with
    // "Übernehmen", "Vorschau" or "Drucken".
    void StoreToDoc(CTreDoc& doc) const;

    CTrePlotDruckPP1 m_page1;
    CTrePlotDruckPP2 m_page2;
    CTrePlotDruckPP3 m_page3;
    CTrePlotDruckPP4 m_page4;
};

// An integer as the dialog data exchange reads it: blanks around an
// optional sign and digits, nothing else. False with the German message
// when the text is refused.
bool ExchangeInt(const QString& text, int lo, int hi, int& value, QString& message);
