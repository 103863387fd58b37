// Placeholder until the report itself lands on this branch: both calls
// refuse with a message, so the menu entry can be wired and tested for its
// dialog. Removed together with this file when the report arrives.
#include "assessreport.h"

bool WriteAssessmentReportPdf(const CTreDoc&, const SAssessSettings&, const QString&, QString* error)
{
    if (error) *error = QString::fromUtf8("Der Bewertungsbericht ist in diesem Programmstand noch nicht verfügbar.");
    return false;
}

bool PrintAssessmentReport(const CTreDoc&, const SAssessSettings&, QPrinter&, QString* error)
{
    if (error) *error = QString::fromUtf8("Der Bewertungsbericht ist in diesem Programmstand noch nicht verfügbar.");
    return false;
}
