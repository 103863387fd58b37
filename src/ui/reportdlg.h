// SPDX-License-Identifier: GPL-3.0-or-later
// What the program asks before it writes an assessment report: the report's
// number and revision, printed in every page's header, and the length of
// the survey each sheet shows.
#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;

struct SReportRequest {
    QString number;
    QString revision;
    int sectionLength = 1000; // m, one of ReportSectionLengths()
};

// The section lengths offered, in m.
const int* ReportSectionLengths(int& count);

class CReportDlg : public QDialog {
    Q_OBJECT
public:
    // Starts with `request`'s values; a section length not offered takes
    // the nearest one that is.
    CReportDlg(QWidget* parent, const SReportRequest& request);
    SReportRequest Request() const;

    QLineEdit* NumberEdit() const { return m_pNumber; }
    QLineEdit* RevisionEdit() const { return m_pRevision; }
    QComboBox* SectionBox() const { return m_pSection; }

private:
    QLineEdit* m_pNumber;
    QLineEdit* m_pRevision;
    QComboBox* m_pSection;
};
