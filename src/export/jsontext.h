// SPDX-License-Identifier: GPL-3.0-or-later
// JSON building blocks shared by the commands that print JSON.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

using ojson = nlohmann::ordered_json;

namespace jsontext {

// Text that is not UTF-8 (the still encoded QM line, raw handheld bytes) is
// shown byte for byte as the characters U+0000..U+00FF, so output never fails.
std::string JsonText(const std::string& s);

// A stored value, null when absent.
ojson Int(int32_t v);

// An object as a JSON file holds it: indented by two, ending in a newline.
std::string FileText(const ojson& j);

} // namespace jsontext
