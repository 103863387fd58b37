// SPDX-License-Identifier: GPL-3.0-or-later
#include "codepage.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <mutex>
#include <optional>

namespace tresdoc {

namespace {

// An iconv descriptor is costly to open: it is kept once opened. The
// document is used from one thread, the mutex only keeps a batch tool with
// threads honest.
class Converter {
public:
    Converter(const char* to, const char* from)
        : m_cd(iconv_open(to, from))
    { }
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
    }
    bool Ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible; an input sequence the target cannot take
    // is replaced by `replacement` and skipped by `skip` bytes.
    std::string Run(std::string_view in, const char* replacement)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::string out;
        out.reserve(in.size() * 2 + 8);
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buf[1024];
        while (srcLeft > 0) {
            char* dst = buf;
            size_t dstLeft = sizeof buf;
            const size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf, static_cast<size_t>(dst - buf));
            if (rc != static_cast<size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: an unconvertible or broken sequence.
            out += replacement;
            ++src;
            --srcLeft;
            while (srcLeft > 0 && (static_cast<unsigned char>(*src) & 0xC0) == 0x80) {
                ++src; // the rest of a UTF-8 sequence
                --srcLeft;
            }
        }
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        iconv(m_cd, nullptr, nullptr, &dst, &dstLeft);
        out.append(buf, static_cast<size_t>(dst - buf));
        return out;
    }

private:
    iconv_t m_cd;
    std::mutex m_mutex;
};

bool IsAscii(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// The upper half of code page 850 (the lower half is ASCII). A survey has
// thousands of comments: with the table at hand a file is read and written
// without loading iconv at all, which costs more than the conversions. The
// tests hold the table against iconv's own, byte by byte.
constexpr char16_t kUpperHalf[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, // 90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510, // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3, // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4, // C8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE, // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580, // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, // E0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4, // E8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8, // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0, // F8
};

// Every character of the upper half lies below U+2600.
constexpr char32_t kReverseSize = 0x2600;

// Character -> byte of the upper half; 0 for a character code page 850 lacks.
constexpr std::array<unsigned char, kReverseSize> MakeReverse()
{
    std::array<unsigned char, kReverseSize> bytes{};
    for (int i = 0; i < 128; ++i) bytes[kUpperHalf[i]] = static_cast<unsigned char>(0x80 + i);
    return bytes;
}

constexpr std::array<unsigned char, kReverseSize> kReverse = MakeReverse();

// A character outside code page 850, or text that is not valid UTF-8, goes
// to iconv, which transliterates or replaces it; the descriptor is opened
// on the first such text only.
Converter& Cp850Converter()
{
    static Converter conv("CP850//TRANSLIT", "UTF-8");
    return conv;
}

// The code page 850 bytes of well-formed UTF-8 whose every character the
// code page has; nothing otherwise.
std::optional<std::string> TableToCp850(std::string_view utf8)
{
    std::string out(utf8.size(), '\0');
    size_t n = 0;
    const auto at = [&](size_t k) { return static_cast<unsigned char>(utf8[k]); };
    const auto cont = [&](size_t k) { return k < utf8.size() && (at(k) & 0xC0) == 0x80; };
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = at(i);
        char32_t cp;
        if (c < 0x80) {
            out[n++] = static_cast<char>(c);
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF && cont(i + 1)) {
            cp = (char32_t{c} & 0x1F) << 6 | (at(i + 1) & 0x3F);
            i += 2;
        } else if (c >= 0xE0 && c <= 0xEF && cont(i + 1) && cont(i + 2)) {
            cp = (char32_t{c} & 0x0F) << 12 | (char32_t{at(i + 1)} & 0x3F) << 6 | (at(i + 2) & 0x3F);
            if (cp < 0x800) return std::nullopt; // overlong
            i += 3;
        } else {
            return std::nullopt; // broken, or a character beyond U+FFFF
        }
        if (cp >= kReverseSize || kReverse[cp] == 0) return std::nullopt;
        out[n++] = static_cast<char>(kReverse[cp]);
    }
    out.resize(n);
    return out;
}

} // namespace

std::string Cp850ToUtf8(std::string_view cp850)
{
    if (IsAscii(cp850)) return std::string(cp850);
    // Exactly the size needed: a survey keeps thousands of these.
    size_t size = 0;
    for (char c : cp850) {
        const auto b = static_cast<unsigned char>(c);
        size += b < 0x80 ? 1 : (kUpperHalf[b - 0x80] < 0x800 ? 2 : 3);
    }
    std::string out(size, '\0');
    char* p = out.data();
    for (char c : cp850) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            *p++ = c;
            continue;
        }
        const char32_t cp = kUpperHalf[b - 0x80];
        if (cp < 0x800) {
            *p++ = static_cast<char>(0xC0 | cp >> 6);
        } else {
            *p++ = static_cast<char>(0xE0 | cp >> 12);
            *p++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        }
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

std::string Utf8ToCp850(std::string_view utf8)
{
    if (IsAscii(utf8)) return std::string(utf8);
    if (auto out = TableToCp850(utf8)) return std::move(*out);
    if (!Cp850Converter().Ok()) return std::string(utf8);
    return Cp850Converter().Run(utf8, "?");
}

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsValidUtf8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len;
        uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else return false;
        if (i + len > s.size()) return false;
        for (size_t k = 1; k < len; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

} // namespace tresdoc
