// SPDX-License-Identifier: GPL-3.0-or-later
// When a survey comment names a fixed point. The handheld's operator types
// "PRÜFSTELLE  12 " where the pipeline data says "Prüfstelle 12", so comments
// are compared by a key: trimmed, every run of blanks inside collapsed to one
// space, and case folded.
#pragma once

#include <string>
#include <string_view>

namespace trespipeline {

// The key of a UTF-8 text. Blanks are space, tab, CR, LF, VT, FF and the
// no-break space. Case folding covers the Latin letters of the Western and
// Central European languages (ASCII, Latin-1, Latin Extended-A) and folds
// "ß" and "ẞ" to "ss", so "Straße", "STRASSE" and "STRAẞE" agree. Bytes that
// are not valid UTF-8 are kept as they are.
std::string CommentKey(std::string_view text);

} // namespace trespipeline
