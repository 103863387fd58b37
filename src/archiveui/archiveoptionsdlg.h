// SPDX-License-Identifier: GPL-3.0-or-later
// "Optionen" > "Archiv…": where the archive lives, a file (with a browse
// button) or a connection string, empty for the default file. "Verbindung
// prüfen" opens it and says what it found there. A password a connection
// string carries is never shown: the field holds the masked form, and the
// location stays as it was unless the field is edited.
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;

class CArchiveOptionsDlg : public QDialog {
    Q_OBJECT
public:
    CArchiveOptionsDlg(QWidget* parent, const std::string& location);

    // The location as accepted; empty: the default file.
    std::string Location() const;
    QLineEdit* Field() const { return m_pField; }
    QLabel* CheckResult() const { return m_pResult; }
    void CheckConnection();

private:
    void Browse();

    std::string m_original; // as stored, with its password
    QString m_masked;       // as the field showed it first
    QLineEdit* m_pField = nullptr;
    QLabel* m_pResult = nullptr;
};
