// SPDX-License-Identifier: GPL-3.0-or-later
#include "qmline.h"

#include "numtext.h"

namespace tresdoc {

namespace {

const unsigned char kShift[4] = {20, 30, 40, 10};

std::string Shift(std::string_view text, int direction)
{
    std::string out(text);
    for (size_t j = 0; j < out.size(); ++j)
        out[j] = static_cast<char>(static_cast<unsigned char>(out[j]) + direction * kShift[j % 4]);
    return out;
}

bool BreaksLine(std::string_view encoded)
{
    return encoded.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

} // namespace

bool QmLineReadsBack(std::string_view encoded, const std::array<std::string, 20>& qm)
{
    return !BreaksLine(encoded) && QmLineAsReadReadsBack(encoded, qm);
}

bool QmLineAsReadReadsBack(std::string_view encoded, const std::array<std::string, 20>& qm)
{
    if (encoded.find_first_of(std::string_view("\n\0", 2)) != std::string_view::npos) return false;
    std::array<std::string, 20> back;
    DecodeQmLine(encoded, back);
    for (size_t i = 2; i <= 14; ++i)
        if (back[i] != qm[i]) return false;
    return true;
}

std::string EncodeQmLineWithFiller(const std::array<std::string, 20>& qm, const std::string& filler)
{
    std::string f = filler;
    f += ';';
    for (int i = 2; i <= 14; ++i) {
        f += qm[static_cast<size_t>(i)];
        if (i < 14) f += ';';
    }
    int sum = 0;
    for (char c : f) sum += static_cast<signed char>(c);
    return Shift(tresnum::FormatInt(sum) + ";" + f, +1);
}

std::optional<std::string> EncodeQmLine(const std::array<std::string, 20>& qm, std::minstd_rand& rng)
{
    std::uniform_int_distribution<int> r15(0, 32767);
    for (int attempt = 0; attempt < 64; ++attempt) {
        const int length = 10 + r15(rng) / 3276;
        std::string filler;
        for (int i = 0; i < length; ++i) filler += static_cast<char>('A' + (r15(rng) * 26) / 32768);
        std::string encoded = EncodeQmLineWithFiller(qm, filler);
        if (QmLineReadsBack(encoded, qm)) return encoded;
    }
    // Random tries can all miss when the entries hold bytes that break the
    // line at several shifts; the length moves the entries through all four
    // shifts and the letters change the sum in front (and so its length).
    for (size_t length = 10; length <= 20; ++length) {
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            std::string encoded = EncodeQmLineWithFiller(qm, std::string(length, letter));
            if (QmLineReadsBack(encoded, qm)) return encoded;
        }
    }
    return std::nullopt;
}

void DecodeQmLine(std::string_view encoded, std::array<std::string, 20>& qm)
{
    const std::string plain = Shift(encoded, -1);
    if (plain.empty()) return;
    size_t pos = 0;
    size_t field = 1; // field 1 is the sum, never checked
    bool more = true;
    std::array<std::string, 16> fields;
    while (more) {
        size_t semi = plain.find(';', pos);
        if (semi == std::string::npos) {
            semi = plain.size();
            more = false;
        }
        if (field < fields.size()) fields[field] = plain.substr(pos, semi - pos);
        ++field;
        pos = semi + 1;
    }
    for (size_t i = 1; i <= 14; ++i) qm[i] = fields[i + 1];
}

} // namespace tresdoc
