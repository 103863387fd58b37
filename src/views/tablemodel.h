// SPDX-License-Identifier: GPL-3.0-or-later
// The table's cells, asked of the document every time they are shown.
// Model column k is column k+1 of the survey table (column 0 of the survey
// table is the row-number header); rows are document rows 1..N.
// The model keeps nothing per row: its only state is the row count it has
// announced to the views, which Sync() brings in line with the document.
#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include <string>

class CTreDoc;

class CTrePlotModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Columns of the survey table (1-based, as the user counts them).
    enum EColumn {
        ColMeter = 1,
        ColPotOn,
        ColPotOff,
        ColPotIRFree,
        ColGradOn,
        ColGradOnR,
        ColGradOff,
        ColGradOffR,
        ColGradDiff,
        ColGradDiffR,
        ColComment,
        ColumnCount = 11
    };
    static int ModelColumn(int gridColumn) { return gridColumn - 1; }
    static int GridColumn(int modelColumn) { return modelColumn + 1; }

    static const QColor kDarkBlue, kDarkRed, kDarkGreen;
    static const QColor kRowOdd, kRowEven, kAboveCriterion;

    explicit CTrePlotModel(CTreDoc& doc, QObject* parent = nullptr);

    CTreDoc& Doc() const { return m_doc; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The cell store: see StoreCell. Only Qt::EditRole stores.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The text a cell shows: survey table row r >= 1, column c in 1..11.
    QString CellText(int r, int c) const;
    // The cell background (white, light green on even rows, light red for a
    // potential off above the protection criterion in column 3).
    QColor CellBackground(int r, int c) const;
    // The protection criterion as the table compares with it: the leading
    // number of header entry 2, truncated toward zero; 0 without a number.
    double Criterion() const;

    enum class EStore { Refused, Accepted };
    // Writes the text typed into cell (r, c) into the document: volts for
    // potentials, millivolts for gradients, metres, or the comment. Columns
    // 5 and 7 always write the left gradients, even while they show means.
    // Numbers take a decimal comma or point and may carry the column's unit
    // (m, V, mV); blanks alone clear the cell. A text that is no number, or
    // a number that does not fit into the stored field, is refused with
    // StoreRefused and the row stays as it was. Every stored column is one
    // undo step ("Zelle bearbeiten"), which sets the modified mark; all
    // views update.
    EStore StoreCell(int r, int c, const std::string& text);

    // Brings the announced row count in line with the document (rows added
    // or removed at the end) and reports every cell and header as changed.
    void Sync();
    // Starts over after the document was renewed (New, Open).
    void Reset();
    // Row edits that keep the views' current cell and selection in place.
    // Both leave an undo step and update all views.
    void InsertRowAfter(int r);
    void DeleteRows(int top, int bottom);
    // Delete on cells that are not whole rows: each value cell absent, each
    // comment empty, as one undo step ("Zellen löschen"). The derived columns
    // have nothing to clear; a metre stays, as it does when its cell is
    // typed empty (a row is placed by it). False when nothing changed.
    bool ClearCells(const QModelIndexList& cells);

signals:
    // A typed text was not stored; `message` tells the user why (German).
    void StoreRefused(const QString& message);

private:
    CTreDoc& m_doc;
    int m_nRows = 0;
};
