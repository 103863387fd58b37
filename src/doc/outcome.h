// SPDX-License-Identifier: GPL-3.0-or-later
// What an operation that may be refused gives back: a code its caller
// decides by, and the German text the user reads. A caller never compares
// the text: a message reworded must not change what the program does.
#pragma once

#include <string>
#include <utility>

namespace tresdoc {

enum class ERefusal {
    None = 0,
    Refused,  // for the reason the text gives
    Reversed, // the other survey was walked from the other end; accepted when asked to
};

struct SOutcome {
    ERefusal code = ERefusal::None;
    std::string text; // German, naming what was refused; empty when done

    bool Ok() const { return code == ERefusal::None; }
    static SOutcome Done() { return {}; }
    static SOutcome Refused(std::string why, ERefusal code = ERefusal::Refused) { return {code, std::move(why)}; }
};

} // namespace tresdoc
