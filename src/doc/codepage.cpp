#include "codepage.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <mutex>
#include <optional>

namespace tresdoc {

namespace {

// iconv descriptors are costly to open and a file has thousands of comments;
// keep one per direction. The document is used from one thread, the mutex
// only keeps a batch tool with threads honest.
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

Converter& Utf8Converter()
{
    static Converter conv("UTF-8", "CP850");
    return conv;
}

Converter& Cp850Converter()
{
    static Converter conv("CP850//TRANSLIT", "UTF-8");
    return conv;
}

// A survey has thousands of comments and iconv costs a call and a lock for
// each. CP850 has one character per byte and iconv keeps no state between
// them, so its answer for each byte - and, backwards, for each of those
// characters - is asked once and then looked up. Texts with anything else
// still go through iconv, so the bytes are always iconv's own.
class CCp850Tables {
public:
    CCp850Tables()
    {
        if (!Utf8Converter().Ok() || !Cp850Converter().Ok()) return;
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const std::string utf8 = Utf8Converter().Run(std::string_view(&byte, 1), "?");
            if (utf8.empty() || utf8.size() > 3) return; // no single-byte code page after all
            CUtf8& entry = m_utf8[static_cast<size_t>(b)];
            utf8.copy(entry.bytes, utf8.size());
            entry.length = static_cast<char>(utf8.size());
            const std::string back = Cp850Converter().Run(utf8, "?");
            const char32_t cp = DecodeOne(utf8);
            if (back.size() == 1 && cp < kReverseSize) m_byte[cp] = static_cast<int16_t>(back[0] & 0xFF);
        }
        m_ok = true;
    }
    bool Ok() const { return m_ok; }

    std::string ToUtf8(std::string_view cp850) const
    {
        // Exactly the size needed: a survey keeps thousands of these.
        size_t size = 0;
        for (char c : cp850) size += static_cast<size_t>(m_utf8[static_cast<unsigned char>(c)].length);
        std::string out;
        out.reserve(size);
        for (char c : cp850) {
            const CUtf8& entry = m_utf8[static_cast<unsigned char>(c)];
            out.append(entry.bytes, static_cast<size_t>(entry.length));
        }
        return out;
    }

    // nullopt when a character is not in the table or the text is no valid
    // UTF-8: iconv decides those.
    std::optional<std::string> ToCp850(std::string_view utf8) const
    {
        std::string out;
        out.reserve(utf8.size());
        size_t i = 0;
        while (i < utf8.size()) {
            const size_t length = SequenceLength(utf8.substr(i));
            if (length == 0) return std::nullopt;
            const char32_t cp = DecodeOne(utf8.substr(i, length));
            if (cp >= kReverseSize || m_byte[cp] < 0) return std::nullopt;
            out += static_cast<char>(m_byte[cp]);
            i += length;
        }
        return out;
    }

private:
    // Every character of CP850 lies below U+2600 (the box drawings end there).
    static constexpr char32_t kReverseSize = 0x2600;

    // The length of a well-formed UTF-8 sequence at the start of `s`, 0 for
    // anything else (stray continuation bytes, overlong forms, surrogates).
    static size_t SequenceLength(std::string_view s)
    {
        const auto at = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
        const auto cont = [&](size_t k) { return k < s.size() && (at(k) & 0xC0) == 0x80; };
        const unsigned char c = at(0);
        if (c < 0x80) return 1;
        if (c >= 0xC2 && c <= 0xDF) return cont(1) ? 2 : 0;
        if (c >= 0xE0 && c <= 0xEF) {
            if (!cont(1) || !cont(2)) return 0;
            if (c == 0xE0 && at(1) < 0xA0) return 0;  // overlong
            if (c == 0xED && at(1) >= 0xA0) return 0; // surrogate
            return 3;
        }
        return 0; // four-byte characters are never in CP850: iconv decides
    }

    static char32_t DecodeOne(std::string_view s)
    {
        if (s.empty()) return kReverseSize;
        const auto at = [&](size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(s[k])); };
        if (s.size() == 1) return at(0) < 0x80 ? at(0) : kReverseSize;
        if (s.size() == 2) return ((at(0) & 0x1F) << 6) | (at(1) & 0x3F);
        if (s.size() == 3) return ((at(0) & 0x0F) << 12) | ((at(1) & 0x3F) << 6) | (at(2) & 0x3F);
        return kReverseSize;
    }

    struct CUtf8 {
        char bytes[3];
        char length;
    };

    bool m_ok = false;
    std::array<CUtf8, 256> m_utf8{};
    std::array<int16_t, kReverseSize> m_byte = MakeEmptyReverse();

    static std::array<int16_t, kReverseSize> MakeEmptyReverse()
    {
        std::array<int16_t, kReverseSize> a;
        a.fill(-1);
        return a;
    }
};

const CCp850Tables& Tables()
{
    static const CCp850Tables tables;
    return tables;
}

} // namespace

std::string Cp850ToUtf8(std::string_view cp850)
{
    if (IsAscii(cp850)) return std::string(cp850);
    if (Tables().Ok()) return Tables().ToUtf8(cp850);
    if (!Utf8Converter().Ok()) return std::string(cp850);
    return Utf8Converter().Run(cp850, "?");
}

std::string Utf8ToCp850(std::string_view utf8)
{
    if (IsAscii(utf8)) return std::string(utf8);
    if (Tables().Ok()) {
        if (auto out = Tables().ToCp850(utf8)) return std::move(*out);
    }
    if (!Cp850Converter().Ok()) return std::string(utf8);
    return Cp850Converter().Run(utf8, "?");
}

} // namespace tresdoc
