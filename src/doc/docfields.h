// SPDX-License-Identifier: GPL-3.0-or-later
// The parts of a survey besides its rows that a command can change: the
// header entries, the error-list limits and the table and print settings.
// An undo step keeps only the fields its command changed, before and after,
// so taking it back leaves every other field as it is.
#pragma once

#include "errorlimits.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CTreDoc;

// Every field a command may change, copied out of the document.
struct CDocFields {
    static constexpr int kFlagCount = 21;
    static constexpr int kNumberCount = 7;

    static CDocFields Of(const CTreDoc& doc);

    std::array<std::string, 20> header;
    LimitArray limits{};
    std::array<bool, kFlagCount> flags{};
    std::array<int32_t, kNumberCount> numbers{};

    bool operator==(const CDocFields&) const = default;
};

class CFieldChanges {
public:
    // What differs between `before` and the document as it is now.
    static CFieldChanges Between(const CDocFields& before, const CTreDoc& now);

    bool empty() const { return m_texts.empty() && m_values.empty(); }
    // Writes the values from before (undo) or after (redo) the change.
    void Restore(CTreDoc& doc, bool before) const;
    // Folds a later change into this one: this keeps its "before" values
    // and takes the later "after" values.
    void Absorb(const CFieldChanges& later);

private:
    struct CText {
        int index; // header entry
        std::string before, after;
    };
    struct CValue {
        int field; // limits 0..23, then flags, then numbers
        int32_t before, after;
    };
    std::vector<CText> m_texts;
    std::vector<CValue> m_values;
};
