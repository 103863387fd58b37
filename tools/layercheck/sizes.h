// SPDX-License-Identifier: GPL-3.0-or-later
// The size rule of the source tree: no file under src/ longer than 700
// lines, no function longer than 120.
//
// A file's length is its number of lines. A function's length runs from the
// first line of its head (return type, name, parameters, a constructor's
// initialisers) to the line of its closing brace. Function bodies are found
// by counting braces over the text without comments, string and character
// literals and preprocessor lines: a brace at namespace or class level opens
// a body when the text before it ends like a function head - a closing
// parenthesis, perhaps followed by const, noexcept, override, final or a
// trailing return type, or a constructor's initialiser list - or like a
// lambda's; braces after namespace, class, struct, union and extern open a
// scope searched further; all other braces there (enums, initialisers) hold
// data. A lambda inside a function counts as part of that function.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace sizes {

inline constexpr int kMaxFileLines = 700;
inline constexpr int kMaxFunctionLines = 120;

struct CFunction {
    std::string name; // as written before the parameters, "CFoo::Bar"
    int firstLine = 0;
    int lastLine = 0;
    int Lines() const { return lastLine - firstLine + 1; }
};

// The function bodies of one file's text.
std::vector<CFunction> ScanFunctions(const std::string& text);

struct CMeasure {
    std::filesystem::path file; // relative to the root
    int lines = 0;
    std::string function; // empty for the file itself
    int firstLine = 0;
};

struct CTreeSizes {
    std::vector<CMeasure> files;     // longest first
    std::vector<CMeasure> functions; // longest first
};

// Measures every source file under ROOT/src.
CTreeSizes MeasureTree(const std::filesystem::path& root);

// The files and functions above the limits.
std::vector<CMeasure> OverLimits(const CTreeSizes& sizes);

// "src/app/mainframe.cpp: 1777 lines" or
// "src/views/curvepainter.cpp:462: PaintCurves 241 lines"
std::string Describe(const CMeasure& m);

} // namespace sizes
