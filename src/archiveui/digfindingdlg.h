// SPDX-License-Identifier: GPL-3.0-or-later
// "Befund erfassen…": what the dig at a defect of an archived survey found,
// as the dig crew reports it - the day, the finding, whether it was
// repaired, and how far from the indicated place the damage really lay.
#pragma once

#include "archive/digfinding.h"

#include <QString>

class QWidget;

// `where` names the defect for the user ("Zeile 1182, 1181 m, Messung Nr.
// 3"). False when cancelled; else `record`'s date, finding, repaired and
// offset are set (its survey and row are the caller's).
bool AskDigFinding(QWidget* parent, const QString& where, tresarchive::SDigRecord& record);
