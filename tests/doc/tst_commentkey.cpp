// SPDX-License-Identifier: GPL-3.0-or-later
// When two comments name the same place: blanks and case do not matter,
// umlauts and "ß" included; other differences do.
#include "commentkey.h"

#include <gtest/gtest.h>

namespace {

TEST(CommentKey, SameKeyForBlanksAndCase)
{
    const std::pair<const char*, const char*> same[] = {
        {"Prüfstelle 12", "  PRÜFSTELLE \t 12 "},
        {"Übergang Acker/Wiese", "übergang   ACKER/wiese"},
        {"Straße", "STRASSE"},
        {"Straße", "STRAẞE"},
        {"Isolierstück", "ISOLIERSTÜCK"},
        {"Éçöà", "ÉÇÖÀ"},
        {"Łódź", "ŁÓDŹ"},
        {"Mast\u00a07", "mast 7"},
    };
    for (const auto& [a, b] : same) EXPECT_EQ(CommentKey(a), CommentKey(b)) << a << " / " << b;
    EXPECT_EQ(CommentKey("  PRÜFSTELLE \t 12 "), "prüfstelle 12");
}

TEST(CommentKey, DifferentTextsStayApart)
{
    const std::pair<const char*, const char*> apart[] = {
        {"Prüfstelle 12", "Prufstelle 12"},
        {"Prüfstelle 12", "Prüfstelle12"},
        {"Prüfstelle 1", "Prüfstelle 12"},
        {"\xfc", "\xdc"}, // not UTF-8: bytes compared as they are
    };
    for (const auto& [a, b] : apart) EXPECT_NE(CommentKey(a), CommentKey(b)) << a << " / " << b;
    EXPECT_EQ(CommentKey(" \t "), "");
}

} // namespace
