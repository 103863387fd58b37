// SPDX-License-Identifier: GPL-3.0-or-later
// When two texts name the same place: a survey comment and a fixed point of
// the pipeline data, or the comments of two surveys of the same pipeline.
// The handheld's operator types "PRÜFSTELLE  12 " where the pipeline data or
// last year's survey says "Prüfstelle 12", so comments are compared by a
// key: trimmed, every run of blanks inside collapsed to one space, and case
// folded. The one rule for every such comparison in the program.
#pragma once

#include <string>
#include <string_view>

// The key of a UTF-8 text. Blanks are space, tab, CR, LF, VT, FF and the
// no-break space. Case folding covers the Latin letters of the Western and
// Central European languages (ASCII, Latin-1, Latin Extended-A) and folds
// "ß" and "ẞ" to "ss", so "Straße", "STRASSE" and "STRAẞE" agree. Bytes that
// are not valid UTF-8 are kept as they are.
std::string CommentKey(std::string_view text);

// Whether a comment names anything: a comment of blanks alone (a field the
// operator cleared with the space bar) is no landmark, or a dig list would
// send the crew to "4 m vor „  “".
bool IsLandmarkComment(std::string_view text);
