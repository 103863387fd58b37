// SPDX-License-Identifier: GPL-3.0-or-later
#include "jsontext.h"

#include "doc/codepage.h"
#include "doc/measrow.h"

namespace jsontext {

std::string JsonText(const std::string& s)
{
    if (tresdoc::IsValidUtf8(s)) return s;
    std::string out;
    for (char ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

ojson Int(int32_t v) { return IsPresent(v) ? ojson(v) : ojson(nullptr); }

std::string FileText(const ojson& j) { return j.dump(2) + "\n"; }

} // namespace jsontext
