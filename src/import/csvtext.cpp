// SPDX-License-Identifier: GPL-3.0-or-later
#include "csvtext.h"

#include "doc/codepage.h"

#include <cctype>
#include <cstdint>

namespace tresimport {

namespace {

std::string FromUtf16(std::string_view b, bool bigEndian)
{
    std::string out;
    out.reserve(b.size() / 2);
    auto unit = [&](size_t i) {
        const auto hi = static_cast<unsigned char>(b[bigEndian ? i : i + 1]);
        const auto lo = static_cast<unsigned char>(b[bigEndian ? i + 1 : i]);
        return static_cast<uint32_t>(hi << 8 | lo);
    };
    for (size_t i = 0; i + 1 < b.size(); i += 2) {
        uint32_t cp = unit(i);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 3 < b.size()) {
            const uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        tresdoc::AppendUtf8(out, cp);
    }
    return out;
}

bool IsUtf8(std::string_view s)
{
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// Windows-1252's 0x80..0x9F; the rest of the upper half is Latin-1.
constexpr uint16_t kCp1252High[32]
    = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
       0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
       0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

} // namespace

bool DecodeText(std::string_view bytes, std::string& utf8)
{
    if (bytes.size() >= 2 && (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF"))
        utf8 = FromUtf16(bytes.substr(2), bytes[0] == '\xFE');
    else {
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
        if (IsUtf8(bytes)) utf8.assign(bytes);
        else {
            utf8.clear();
            for (char ch : bytes) {
                const auto c = static_cast<unsigned char>(ch);
                tresdoc::AppendUtf8(utf8, c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c);
            }
        }
    }
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != '\f' && c != 0x1A) return false;
    }
    return true;
}

bool NextRecord(std::string_view text, size_t& pos, char separator, std::vector<std::string>& cells, int& line)
{
    cells.clear();
    if (pos >= text.size()) return false;
    cells.emplace_back();
    bool quoted = false;
    ++line;
    while (pos < text.size()) {
        const char c = text[pos++];
        std::string& cell = cells.back();
        if (quoted) {
            if (c == '"') {
                if (pos < text.size() && text[pos] == '"') {
                    cell += '"';
                    ++pos;
                } else quoted = false;
            } else {
                if (c == '\n') ++line;
                cell += c;
            }
        } else if (c == '"' && cell.find_first_not_of(" ") == std::string::npos) {
            cell.clear();
            quoted = true;
        } else if (c == separator) cells.emplace_back();
        else if (c == '\n') break;
        else if (c != '\r') cell += c;
    }
    return true;
}

std::string LineAt(std::string_view text, int index)
{
    size_t pos = 0;
    for (int i = 0; i < index; ++i) {
        const size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) return {};
        pos = nl + 1;
    }
    std::string_view line = text.substr(pos, text.find('\n', pos) - pos);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.remove_suffix(1);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.front()))) line.remove_prefix(1);
    return std::string(line);
}

char DetectSeparator(std::string_view text, size_t pos)
{
    int tab = 0, semi = 0, comma = 0;
    bool quoted = false;
    for (; pos < text.size() && (quoted || text[pos] != '\n'); ++pos) {
        const char c = text[pos];
        if (c == '"') quoted = !quoted;
        else if (!quoted) {
            tab += c == '\t';
            semi += c == ';';
            comma += c == ',';
        }
    }
    if (tab > semi && tab > comma) return '\t';
    if (comma > semi) return ',';
    return ';';
}

} // namespace tresimport
