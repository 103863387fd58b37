// SPDX-License-Identifier: GPL-3.0-or-later
// The program's settings store (company "Norvaken", program "Tresmon"),
// for every part of the program that keeps a setting; the application
// object is not needed to reach it.
#pragma once

#include <QSettings>

#include <memory>

inline std::unique_ptr<QSettings> AppSettings()
{
    return std::make_unique<QSettings>(QStringLiteral("Norvaken"), QStringLiteral("Tresmon"));
}
