// SPDX-License-Identifier: GPL-3.0-or-later
// The small rules every stored survey goes through: its date, its digest,
// the time of a change.
#include "store.h"

#include <openssl/evp.h>

#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <stdexcept>

namespace tresarchive {

namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

bool IsRealDate(int y, int m, int d)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || m < 1 || m > 12 || d < 1) return false;
    return d <= kDays[m - 1] + (m == 2 && IsLeap(y) ? 1 : 0);
}

std::string IsoDate(int y, int m, int d)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
    return text;
}

// Digits from `at` up to a non-digit; -1 when there are none or too many.
int Digits(const std::string& s, size_t& at, size_t& count)
{
    const size_t from = at;
    int value = 0;
    while (at < s.size() && std::isdigit(static_cast<unsigned char>(s[at])) && at - from < 5)
        value = value * 10 + (s[at++] - '0');
    count = at - from;
    return count == 0 ? -1 : value;
}

} // namespace

std::optional<std::string> SurveyDateFromHeader(const std::string& entry)
{
    const size_t first = entry.find_first_not_of(" \t");
    const size_t last = entry.find_last_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    const std::string s = entry.substr(first, last - first + 1);
    size_t at = 0, n = 0;
    const int d = Digits(s, at, n);
    if (n < 1 || n > 2 || at >= s.size() || s[at++] != '.') return std::nullopt;
    const int m = Digits(s, at, n);
    if (n < 1 || n > 2 || at >= s.size() || s[at++] != '.') return std::nullopt;
    int y = Digits(s, at, n);
    if ((n != 2 && n != 4) || at != s.size()) return std::nullopt;
    if (n == 2) y += y < 70 ? 2000 : 1900;
    if (!IsRealDate(y, m, d)) return std::nullopt;
    return IsoDate(y, m, d);
}

bool IsIsoDate(const std::string& text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    return IsRealDate(std::stoi(text.substr(0, 4)), std::stoi(text.substr(5, 2)), std::stoi(text.substr(8, 2)));
}

std::string UtcNow()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string ShownTime(const std::string& iso)
{
    // Anything not of the stored form is shown as it is.
    if (iso.size() < 16 || iso[4] != '-' || iso[10] != 'T') return iso;
    return iso.substr(8, 2) + "." + iso.substr(5, 2) + "." + iso.substr(0, 4) + " " + iso.substr(11, 5) + " UTC";
}

std::string Sha256Hex(const std::string& bytes)
{
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr) != 1)
        throw CArchiveError(EArchiveFault::Other, "Die Prüfsumme (SHA-256) der Datei ließ sich nicht berechnen.");
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < length; ++i) {
        out += kHex[digest[i] >> 4];
        out += kHex[digest[i] & 15];
    }
    return out;
}

} // namespace tresarchive
