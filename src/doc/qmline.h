// SPDX-License-Identifier: GPL-3.0-or-later
// The QM line of a measurement file: the handheld's QM entries 2 to 14 with a
// random filler and a byte sum, shifted byte by byte so the line is not
// plain text.
#pragma once

#include <array>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace tresdoc {

// Builds the encoded line from QM entries 2..14 with a fresh random filler.
// A line that would not read back as these entries (a CR, LF or NUL among
// the shifted bytes cuts it; a ';' inside an entry splits it) is never
// returned: the filler is drawn again, then every filler length and letter
// is tried in turn, since the filler's length moves all later bytes to
// other shifts. Nothing when no filler keeps the entries readable.
std::optional<std::string> EncodeQmLine(const std::array<std::string, 20>& qm, std::minstd_rand& rng);

// Whether `encoded` is a line the reader gives back as entries 2..14 of `qm`
// and that holds no CR either (other programs may end a line there).
bool QmLineReadsBack(std::string_view encoded, const std::array<std::string, 20>& qm);

// Whether a line as a file held it goes back into a file as it was and is
// read again as entries 2..14 of `qm`. Only an LF (where the reader ends a
// line) or a NUL (where it ends the text) could change it; a CR inside it
// stays, and one at its end too (the file then has CR CR LF, of which the
// reader drops the last CR). Handheld lines hold such CRs.
bool QmLineAsReadReadsBack(std::string_view encoded, const std::array<std::string, 20>& qm);

// The same for a given filler (tests use it to get fixed bytes).
std::string EncodeQmLineWithFiller(const std::array<std::string, 20>& qm, const std::string& filler);

// Undoes the shift. An empty result leaves `qm` alone; otherwise entries
// 1..14 take fields 2..15 (entry 1 the filler), missing fields empty.
void DecodeQmLine(std::string_view encoded, std::array<std::string, 20>& qm);

} // namespace tresdoc
