// SPDX-License-Identifier: GPL-3.0-or-later
// The handheld over the serial-link library vlnkw32, reached only through its
// public header and only from vlnklink.cpp.
#pragma once

#include "handheldlink.h"

namespace treshandheld {

std::unique_ptr<CHandheld> MakeVlnkLink();

} // namespace treshandheld
