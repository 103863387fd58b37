// The QM line of a measurement file: the handheld's QM entries 2 to 14 with a
// random filler and a byte sum, shifted byte by byte so the line is not
// plain text.
#pragma once

#include <array>
#include <random>
#include <string>
#include <string_view>

namespace tresdoc {

// Builds the encoded line from QM entries 2..14 with a fresh random filler.
// The filler is drawn again when the shifted bytes would contain a line
// break or NUL, which would cut the line when the file is read back.
std::string EncodeQmLine(const std::array<std::string, 20>& qm, std::minstd_rand& rng);

// The same for a given filler (tests use it to get fixed bytes).
std::string EncodeQmLineWithFiller(const std::array<std::string, 20>& qm, const std::string& filler);

// Undoes the shift. An empty result leaves `qm` alone; otherwise entries
// 1..14 take fields 2..15 (entry 1 the filler), missing fields empty.
void DecodeQmLine(std::string_view encoded, std::array<std::string, 20>& qm);

} // namespace tresdoc
