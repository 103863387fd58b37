// SPDX-License-Identifier: GPL-3.0-or-later
// What the program asks before it writes an assessment report: the report's
// number and revision, printed in every page's header, the length of the
// survey each sheet shows, across how few points of another status the
// stretch table joins stretches of one, and whether it is to be the final
// report (a draft is then refused).
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

struct SReportRequest {
    QString number;
    QString revision;
    int sectionLength = 1000; // m, one of ReportSectionLengths()
    int merge = 3;            // points, 0 ... 1000
    bool final = false;
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
    QSpinBox* MergeBox() const { return m_pMerge; }
    QCheckBox* FinalBox() const { return m_pFinal; }

private:
    QLineEdit* m_pNumber;
    QLineEdit* m_pRevision;
    QComboBox* m_pSection;
    QSpinBox* m_pMerge;
    QCheckBox* m_pFinal;
};
