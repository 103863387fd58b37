// SPDX-License-Identifier: GPL-3.0-or-later
// German words for the serial-link library's result codes, for the user.
#pragma once

#include <QString>

QString LinkResultText(int code);
