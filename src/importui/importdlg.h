// SPDX-License-Identifier: GPL-3.0-or-later
// "Datei" > "Importieren…": another logger's CSV or text export shown by
// its first lines, its columns assigned to the survey's values, its units,
// station notation and missing header values set, and a trial read under
// the table that says what the file will give before it is opened.
#pragma once

#include "import/csvpreview.h"
#include "import/csvreader.h"

#include <QDialog>

#include <array>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

class CImportDlg : public QDialog {
    Q_OBJECT
public:
    // How many of the file's lines the table shows.
    static constexpr size_t kPreviewLines = 20;

    // `bytes` is the whole file, `name` how messages call it; the dialog
    // starts from `initial` (a remembered or built-in map, or an empty one).
    CImportDlg(QWidget* parent, const QString& name, std::string bytes, const tresimport::SRememberedMap& initial);
    ~CImportDlg() override;

    // The map as set, with the header line it is remembered by.
    tresimport::SRememberedMap Chosen() const;

    // For tests and for a look at the dialog.
    QTableWidget* Preview() const { return m_pPreview; }
    QComboBox* ColumnBox(tresimport::EColumn c) const { return m_columns[static_cast<size_t>(c)]; }
    QSpinBox* SkipBox() const { return m_pSkip; }
    QComboBox* SeparatorBox() const { return m_pSeparator; }
    QComboBox* StationBox() const { return m_pStation; }
    QComboBox* PotentialUnitBox() const { return m_pPotentialUnit; }
    QLineEdit* HeaderField(int i) const { return m_header[static_cast<size_t>(i)]; }
    QCheckBox* SkipBadBox() const { return m_pSkipBad; }
    QPushButton* ImportButton() const { return m_pImport; }
    // The trial read's text as shown; the read runs now if it is pending.
    QString ResultText();

private:
    QWidget* MakeLayoutBox();
    QWidget* MakeColumnsBox();
    QWidget* MakeUnitsBox();
    QWidget* MakeHeaderBox();
    void SetFrom(const tresimport::CColumnMap& map, bool skipBad);
    // The table and the columns' lists anew after the separator or the
    // header line moved, each value kept on the column of its title.
    void Repreview();
    void FillColumnBoxes(const std::array<tresimport::CColumnRef, tresimport::kColumnCount>& keep);
    void ShowPreview();
    tresimport::CColumnMap MapNow() const;
    // What the file gives with the map as set, shown under the table; the
    // button is offered only when the file can be read so.
    void TryRead();
    void Changed();

    QString m_name;
    std::string m_bytes;
    std::string m_text; // decoded once
    bool m_bText = false;
    tresimport::SCsvPreview m_preview;

    QTableWidget* m_pPreview = nullptr;
    QComboBox* m_pSeparator = nullptr;
    QComboBox* m_pDecimal = nullptr;
    QSpinBox* m_pSkip = nullptr;
    std::array<QComboBox*, tresimport::kColumnCount> m_columns{};
    QComboBox* m_pPotentialUnit = nullptr;
    QComboBox* m_pGradientUnit = nullptr;
    QComboBox* m_pStation = nullptr;
    std::array<QLineEdit*, 5> m_header{};
    QCheckBox* m_pSkipBad = nullptr;
    QLabel* m_pResult = nullptr;
    QPushButton* m_pImport = nullptr;
    QTimer* m_pTrial = nullptr;
    bool m_bFilling = false;
};
