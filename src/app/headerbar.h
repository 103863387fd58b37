// SPDX-License-Identifier: GPL-3.0-or-later
// The header bar ("Kopfdaten") above the panes: name, number, date, remark
// and the protection criterion of the survey.
#pragma once

#include <QWidget>

class CTreDoc;
class QAction;
class QComboBox;
class QLineEdit;
class QKeyEvent;
class QMenu;

class CHeaderBar : public QWidget {
    Q_OBJECT
public:
    explicit CHeaderBar(QWidget* parent = nullptr);

    // The six criteria the list always offers.
    static QStringList FixedCriteria();

    // Fields into header entries 3, 4, 1, 7 and the list's text into 2.
    void ToDoc(CTreDoc& doc) const;
    // Header entries into the fields; the list selects the first entry
    // beginning with entry 2 (case-insensitive). A criterion that none of
    // the entries begins with, and an empty one, is kept as an extra entry
    // of its own, so a save writes it back as it was read.
    void FromDoc(const CTreDoc& doc);

    // The window's "Rückgängig" and "Wiederherstellen": the fields leave
    // their keys and context menu entries to them. A field's own undo would
    // take back typing the document already holds as a step, and record
    // that as one more step, dropping what could be redone.
    void SetHistoryActions(QAction* undo, QAction* redo);
    // A field's context menu: the line edit's own, with the window's undo
    // and redo in place of the field's. The caller owns it.
    QMenu* CreateFieldMenu(QLineEdit* field) const;

    QLineEdit* NameEdit() const { return m_pName; }
    QLineEdit* NumberEdit() const { return m_pNumber; }
    QLineEdit* DateEdit() const { return m_pDate; }
    QLineEdit* TextEdit() const { return m_pText; }
    QComboBox* CriterionList() const { return m_pCriterion; }

signals:
    // The user typed into the field of header entry `entry` (3, 4, 1 or 7).
    void Edited(int entry);
    // The user picked a criterion; `text` is already the list's text.
    void CriterionChosen(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetExtraCriterion(const QString& text);
    bool IsHistoryKey(const QKeyEvent& key) const;

    QLineEdit* m_pName;
    QLineEdit* m_pNumber;
    QLineEdit* m_pDate;
    QLineEdit* m_pText;
    QComboBox* m_pCriterion;
    QString m_strExtra;         // a criterion from a file that is none of the six
    bool m_bExtraEmpty = false; // an empty entry for a file without a criterion
    QAction* m_pUndo = nullptr;
    QAction* m_pRedo = nullptr;
};
