// SPDX-License-Identifier: GPL-3.0-or-later
#include "csvtext.h"

#include "doc/measrow.h"

#include <string_view>

namespace csvtext {

std::string Decimal(int32_t v, int decimals)
{
    if (!IsPresent(v)) return std::string();
    const bool negative = v < 0;
    int64_t a = negative ? -int64_t{v} : int64_t{v};
    int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    std::string s;
    if (negative) s += '-';
    s += std::to_string(a / scale);
    if (decimals > 0) {
        std::string frac = std::to_string(a % scale);
        s += ',' + std::string(static_cast<size_t>(decimals) - frac.size(), '0') + frac;
    }
    return s;
}

std::string TextCell(const std::string& text)
{
    const bool formula = !text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos;
    const std::string cell = formula ? "'" + text : text;
    if (cell.find_first_of(";\"\r\n") == std::string::npos) return cell;
    std::string out = "\"";
    for (char c : cell) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

void AppendLine(std::string& out, std::initializer_list<std::string> fields)
{
    AppendLine(out, std::vector<std::string>(fields));
}

void AppendLine(std::string& out, const std::vector<std::string>& fields)
{
    bool first = true;
    for (const std::string& f : fields) {
        if (!first) out += ';';
        out += f;
        first = false;
    }
    out += "\r\n";
}

} // namespace csvtext
