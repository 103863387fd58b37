#include "codepage.h"

#include <cerrno>
#include <iconv.h>
#include <mutex>

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

} // namespace

std::string Cp850ToUtf8(std::string_view cp850)
{
    if (IsAscii(cp850)) return std::string(cp850);
    static Converter conv("UTF-8", "CP850");
    if (!conv.Ok()) return std::string(cp850);
    return conv.Run(cp850, "?");
}

std::string Utf8ToCp850(std::string_view utf8)
{
    if (IsAscii(utf8)) return std::string(utf8);
    static Converter conv("CP850//TRANSLIT", "UTF-8");
    if (!conv.Ok()) return std::string(utf8);
    return conv.Run(utf8, "?");
}

} // namespace tresdoc
