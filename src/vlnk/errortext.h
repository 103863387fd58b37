// SPDX-License-Identifier: LGPL-2.1-or-later
// Texts of the library's result codes.
#pragma once

#include <string>

namespace vlnk {

// The text of a result code; "INVALID ERROR NUMBER (<code>)" for codes not in
// the table.
std::string ErrorText(int code);

} // namespace vlnk
