// SPDX-License-Identifier: GPL-3.0-or-later
// The size rule on the real tree, and the scan of function bodies on a
// sample that has braces where no body begins.
#include "sizes.h"

#include <gtest/gtest.h>

namespace {

std::string Body(int lines)
{
    std::string s;
    for (int i = 0; i < lines; ++i) s += "    ++n;\n";
    return s;
}

} // namespace

TEST(Sizes, TheTreeKeepsWithinTheLimits)
{
    std::string listing;
    for (const auto& m : sizes::OverLimits(sizes::MeasureTree(TRES_SOURCE_DIR))) listing += sizes::Describe(m) + "\n";
    EXPECT_TRUE(listing.empty()) << listing;
}

TEST(Sizes, FunctionsAreFoundBetweenScopesDataAndLiterals)
{
    // A namespace, an enum, a table, a class with an inline member and a
    // constructor initialising with braces; braces in a string, a character
    // and a comment; then a function of 121 lines from line 13 (three lines
    // of head, 117 of body, the closing brace) and a lambda on line 134.
    const std::string head = R"x(namespace {
enum class E { A, B };
const int kTable[] = { 1, 2 };
class CFoo : public CBase {
public:
    CFoo(int a) : m_a{a}, m_s("{") { f('{'); }
    int Get() const noexcept { return m_a; } // {
    std::function<void()> m_f{};
    int m_a;
};
} // namespace

template <class T>
auto CFoo::Long(T n) -> int
{
)x";
    const std::string text = head + Body(117) + "}\nauto draw = [&](int n) { return n; };\n";
    const auto fns = sizes::ScanFunctions(text);
    std::string found;
    for (const auto& f : fns)
        found += f.name + " " + std::to_string(f.firstLine) + "-" + std::to_string(f.lastLine) + "\n";
    EXPECT_EQ(found, "CFoo 6-6\nGet 7-7\nCFoo::Long 13-133\ndraw (lambda) 134-134\n");
}
