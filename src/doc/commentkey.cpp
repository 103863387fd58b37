// SPDX-License-Identifier: GPL-3.0-or-later
#include "commentkey.h"

#include "codepage.h"

#include <cstdint>

namespace {

// The code point at `i`, advancing `i` past it; -1 (advancing one byte) for a
// byte that does not start a valid sequence: that byte then stands for itself.
int32_t Decode(std::string_view s, size_t& i)
{
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    int len = 0;
    int32_t cp = 0;
    if (c < 0x80) {
        ++i;
        return c;
    } else if ((c & 0xE0) == 0xC0) {
        len = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4;
        cp = c & 0x07;
    } else {
        ++i;
        return -1;
    }
    if (i + static_cast<size_t>(len) > s.size()) {
        ++i;
        return -1;
    }
    for (int k = 1; k < len; ++k) {
        const unsigned char t = b(i + static_cast<size_t>(k));
        if ((t & 0xC0) != 0x80) {
            ++i;
            return -1;
        }
        cp = (cp << 6) | (t & 0x3F);
    }
    static const int32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return -1;
    }
    i += static_cast<size_t>(len);
    return cp;
}

bool IsBlank(int32_t cp) { return cp == ' ' || (cp >= '\t' && cp <= '\r') || cp == 0xA0; }

// Latin Extended-A pairs its capitals and small letters as even/odd code
// points in three runs and odd/even in two.
int32_t FoldExtendedA(int32_t cp)
{
    if ((cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177)) return cp | 1;
    if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) return cp % 2 == 1 ? cp + 1 : cp;
    if (cp == 0x178) return 0xFF; // Ÿ
    if (cp == 0x17F) return 's';  // long s
    return cp;
}

void AppendFolded(std::string& out, int32_t cp)
{
    if (cp >= 'A' && cp <= 'Z') cp += 'a' - 'A';
    else if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) cp += 0x20;
    else if (cp == 0xDF || cp == 0x1E9E) {
        out += "ss";
        return;
    } else if (cp == 0x130) cp = 'i'; // capital I with dot
    else if (cp >= 0x100 && cp <= 0x17F) cp = FoldExtendedA(cp);
    tresdoc::AppendUtf8(out, static_cast<uint32_t>(cp));
}

} // namespace

std::string CommentKey(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    bool pendingBlank = false;
    for (size_t i = 0; i < text.size();) {
        const size_t start = i;
        const int32_t cp = Decode(text, i);
        if (cp >= 0 && IsBlank(cp)) {
            pendingBlank = !out.empty();
            continue;
        }
        if (pendingBlank) out += ' ';
        pendingBlank = false;
        if (cp < 0) out += text[start];
        else AppendFolded(out, cp);
    }
    return out;
}

bool IsLandmarkComment(std::string_view text) { return !CommentKey(text).empty(); }
