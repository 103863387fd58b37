// SPDX-License-Identifier: GPL-3.0-or-later
#include "sizes.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace sizes {

namespace {

bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The text with comments, literals and preprocessor lines blanked out;
// every newline stays, so a position keeps its line. A string literal
// leaves "" behind (extern "C" stays recognisable), a character literal 0.
std::string Clean(const std::string& in)
{
    std::string out = in;
    const size_t n = in.size();
    auto blank = [&](size_t from, size_t to) {
        for (size_t k = from; k < to && k < n; ++k)
            if (out[k] != '\n') out[k] = ' ';
    };
    bool lineStart = true;
    size_t i = 0;
    while (i < n) {
        const char c = in[i];
        if (c == '\n') {
            lineStart = true;
            ++i;
            continue;
        }
        if (lineStart && c == '#') {
            size_t e = i;
            while (e < n && !(in[e] == '\n' && in[e - 1] != '\\')) ++e;
            blank(i, e);
            i = e;
            continue;
        }
        if (!std::isspace(static_cast<unsigned char>(c))) lineStart = false;
        if (c == '/' && i + 1 < n && in[i + 1] == '/') {
            size_t e = in.find('\n', i);
            if (e == std::string::npos) e = n;
            blank(i, e);
            i = e;
        } else if (c == '/' && i + 1 < n && in[i + 1] == '*') {
            size_t e = in.find("*/", i + 2);
            e = e == std::string::npos ? n : e + 2;
            blank(i, e);
            i = e;
        } else if (c == '"' && i > 0 && in[i - 1] == 'R') {
            const size_t open = in.find('(', i);
            const std::string close = ")" + in.substr(i + 1, open - i - 1) + "\"";
            size_t e = open == std::string::npos ? n : in.find(close, open);
            e = e == std::string::npos ? n : e + close.size();
            blank(i, e);
            out[i] = out[i + 1] = '"';
            i = e;
        } else if (c == '"') {
            size_t e = i + 1;
            while (e < n && in[e] != '"' && in[e] != '\n') e += in[e] == '\\' ? 2 : 1;
            e = std::min(e + 1, n);
            blank(i, e);
            out[i] = out[i + 1] = '"';
            i = e;
        } else if (c == '\'') {
            // 1'000 is a number with a digit separator, not a literal.
            size_t b = i;
            while (b > 0 && (IsIdentChar(in[b - 1]) || in[b - 1] == '\'')) --b;
            if (b < i && std::isdigit(static_cast<unsigned char>(in[b]))) {
                ++i;
                continue;
            }
            size_t e = i + 1;
            while (e < n && in[e] != '\'' && in[e] != '\n') e += in[e] == '\\' ? 2 : 1;
            e = std::min(e + 1, n);
            blank(i, e);
            out[i] = '0';
            i = e;
        } else {
            ++i;
        }
    }
    return out;
}

struct CToken {
    std::string text;
    int line;
};

std::vector<CToken> Tokenise(const std::string& text)
{
    std::vector<CToken> out;
    int line = 1;
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '\n') ++line;
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
            continue;
        }
        size_t e = i + 1;
        if (IsIdentChar(c)) {
            while (e < text.size() && IsIdentChar(text[e])) ++e;
        } else if (c == '"') {
            e = text.find('"', i + 1);
            e = e == std::string::npos ? text.size() : e + 1;
        } else {
            const std::string two = text.substr(i, 2);
            if (two == "::" || two == "->" || two == "&&") e = i + 2;
        }
        std::string tok = text.substr(i, e - i);
        if (c == '"') tok = "\"\"";
        out.push_back({tok, line});
        for (size_t k = i; k < e; ++k)
            if (text[k] == '\n') ++line;
        i = e;
    }
    return out;
}

using CHead = std::vector<std::string>;

bool IsIdent(const std::string& t)
{
    return !t.empty() && (std::isalpha(static_cast<unsigned char>(t[0])) || t[0] == '_');
}

// The index of the bracket matching the one at `at`, searching forwards
// from an opening or backwards from a closing one; npos when unbalanced.
size_t Match(const CHead& h, size_t at)
{
    static const std::string open = "([{", close = ")]}";
    const bool fwd = open.find(h[at]) != std::string::npos;
    int depth = 0;
    for (size_t k = at; k < h.size(); fwd ? ++k : --k) {
        if (open.find(h[k]) != std::string::npos && h[k].size() == 1) depth += fwd ? 1 : -1;
        if (close.find(h[k]) != std::string::npos && h[k].size() == 1) depth += fwd ? -1 : 1;
        if (depth == 0) return k;
        if (!fwd && k == 0) break;
    }
    return std::string::npos;
}

// Indices of a token at bracket depth 0 of the head.
std::vector<size_t> AtTop(const CHead& h, const std::string& tok)
{
    std::vector<size_t> out;
    int depth = 0;
    for (size_t k = 0; k < h.size(); ++k) {
        if (h[k] == "(" || h[k] == "[") ++depth;
        if (h[k] == ")" || h[k] == "]") --depth;
        if (depth == 0 && h[k] == tok) out.push_back(k);
    }
    return out;
}

// The head without what precedes a declaration's own words: Qt's class
// macros, template parameter lists and attributes.
CHead Stripped(CHead h)
{
    for (bool again = true; again && !h.empty();) {
        again = false;
        if (h[0] == "Q_OBJECT" || h[0] == "Q_GADGET") {
            h.erase(h.begin());
            again = true;
        } else if (h[0] == "template" && h.size() > 1 && h[1] == "<") {
            size_t k = 1;
            for (int depth = 0; k < h.size(); ++k) {
                depth += h[k] == "<" ? 1 : h[k] == ">" ? -1 : 0;
                if (depth == 0) break;
            }
            h.erase(h.begin(), h.begin() + static_cast<long>(std::min(k + 1, h.size())));
            again = true;
        } else if (h.size() > 1 && h[0] == "[" && h[1] == "[") {
            const size_t k = Match(h, 0);
            h.erase(h.begin(), h.begin() + static_cast<long>(k == std::string::npos ? h.size() : k + 1));
            again = true;
        }
    }
    return h;
}

// Where a lambda's capture list ends the head ("= [this]"), not an array's
// size ("kTable[3]").
bool EndsWithCapture(const CHead& h)
{
    if (h.empty() || h.back() != "]") return false;
    const size_t open = Match(h, h.size() - 1);
    if (open == std::string::npos) return false;
    return open == 0 || !(IsIdent(h[open - 1]) || h[open - 1] == "]" || h[open - 1] == ")" || h[open - 1] == ">");
}

// The index of the parenthesis closing a function's parameters, when the
// head ends like a function's: ") const", ") noexcept(x) override",
// ") -> T", or a constructor's initialisers; npos otherwise.
size_t ParametersEnd(const CHead& h)
{
    static const std::set<std::string> qualifiers{"const",    "noexcept", "override", "final", "mutable",
                                                  "volatile", "&",        "&&",       "throw"};
    const auto colons = AtTop(h, ":");
    if (!colons.empty() && colons[0] > 0 && (h.back() == ")" || h.back() == "}")) {
        size_t k = colons[0] - 1;
        while (k > 0 && qualifiers.count(h[k])) --k;
        return h[k] == ")" ? k : std::string::npos;
    }
    size_t end = h.size();
    if (const auto arrows = AtTop(h, "->"); !arrows.empty()) end = arrows[0];
    while (end > 0) {
        const std::string& t = h[end - 1];
        if (qualifiers.count(t)) {
            --end;
        } else if (t == ")") {
            const size_t open = Match(h, end - 1);
            if (open != std::string::npos && open > 0 && (h[open - 1] == "noexcept" || h[open - 1] == "throw"))
                end = open - 1;
            else return end - 1;
        } else {
            break;
        }
    }
    return std::string::npos;
}

// "CFoo::Bar", "operator==", "draw (lambda)".
std::string NameOf(const CHead& h, size_t paramsEnd)
{
    const size_t open = paramsEnd == std::string::npos ? h.size() - 1 : Match(h, paramsEnd);
    if (open == std::string::npos || open == 0) return "(lambda)";
    if (h[open - 1] == "]") {
        const auto eq = AtTop(h, "=");
        return (!eq.empty() && eq[0] > 0 ? h[eq[0] - 1] + " " : std::string()) + "(lambda)";
    }
    size_t b = open;
    for (size_t k = open >= 4 ? open - 4 : 0; k < open; ++k)
        if (h[k] == "operator") b = k;
    while (b > 0 && (IsIdent(h[b - 1]) || h[b - 1] == "::" || h[b - 1] == "~")
           && !(IsIdent(h[b - 1]) && b < open && IsIdent(h[b])))
        --b;
    std::string name;
    for (size_t k = b; k < open; ++k) name += h[k];
    return name;
}

enum class EKind { Scope, Data, Function, Inner };

EKind Classify(const CHead& raw)
{
    const CHead h = Stripped(raw);
    if (h.empty()) return EKind::Data;
    const bool parens = std::find(h.begin(), h.end(), "(") != h.end();
    if (std::find(h.begin(), h.end(), "namespace") != h.end()) return EKind::Scope;
    if (h[0] == "extern" && !parens) return EKind::Scope;
    if ((h[0] == "class" || h[0] == "struct" || h[0] == "union") && !parens) return EKind::Scope;
    if (h[0] == "enum" || (h[0] == "typedef" && h.size() > 1 && h[1] == "enum")) return EKind::Data;
    if (EndsWithCapture(h) || ParametersEnd(h) != std::string::npos) return EKind::Function;
    return EKind::Data;
}

// A brace initialising a member in a constructor's initialiser list
// ("CFoo() : m_a{1} {"): part of the head, not a body.
bool IsInitialiserBrace(const CHead& h)
{
    if (h.empty() || !(IsIdent(h.back()) || h.back() == ">")) return false;
    const auto colons = AtTop(h, ":");
    if (colons.empty()) return false;
    const CHead before(h.begin(), h.begin() + static_cast<long>(colons[0]));
    return !AtTop(before, ")").empty() && Classify(before) != EKind::Scope;
}

bool IsAccessLabel(const CHead& h)
{
    static const std::set<std::string> words{"public", "private",   "protected", "signals",
                                             "slots",  "Q_SIGNALS", "Q_SLOTS"};
    return !h.empty() && h.size() <= 2
           && std::all_of(h.begin(), h.end(), [](const auto& t) { return words.count(t) > 0; });
}

} // namespace

std::vector<CFunction> ScanFunctions(const std::string& text)
{
    const std::vector<CToken> toks = Tokenise(Clean(text));
    struct CFrame {
        EKind kind;
        CFunction fn;
    };
    std::vector<CFrame> stack;
    std::vector<CFunction> out;
    size_t headStart = 0;
    auto head = [&](size_t end) {
        CHead h;
        for (size_t k = headStart; k < end; ++k) h.push_back(toks[k].text);
        return h;
    };
    auto skip = [&](size_t at) { // to the bracket matching the one at `at`
        int depth = 0;
        for (size_t k = at; k < toks.size(); ++k) {
            const std::string& b = toks[k].text;
            depth += (b == "(" || b == "[" || b == "{") ? 1 : (b == ")" || b == "]" || b == "}") ? -1 : 0;
            if (depth == 0) return k;
        }
        return toks.size() - 1;
    };
    for (size_t i = 0; i < toks.size(); ++i) {
        const std::string& t = toks[i].text;
        const EKind top = stack.empty() ? EKind::Scope : stack.back().kind;
        if (top != EKind::Scope) {
            if (t == "{") stack.push_back({EKind::Inner, {}});
            if (t == "}" && !stack.empty()) {
                CFrame f = stack.back();
                stack.pop_back();
                if (f.kind == EKind::Function) {
                    f.fn.lastLine = toks[i].line;
                    out.push_back(f.fn);
                }
                if (stack.empty() || stack.back().kind == EKind::Scope) headStart = i + 1;
            }
            continue;
        }
        if (t == ";" || t == "}") {
            if (t == "}" && !stack.empty()) stack.pop_back();
            headStart = i + 1;
        } else if (t == ":" && IsAccessLabel(head(i))) {
            headStart = i + 1;
        } else if (t == "(" || t == "[") {
            i = skip(i);
        } else if (t == "{") {
            const CHead h = head(i);
            if (IsInitialiserBrace(h)) {
                i = skip(i);
                continue;
            }
            CFrame f{Classify(h), {}};
            if (f.kind == EKind::Function) {
                size_t first = headStart;
                while (first < i && (toks[first].text == "Q_OBJECT" || toks[first].text == "Q_GADGET")) ++first;
                f.fn.firstLine = toks[first].line;
                f.fn.name = NameOf(Stripped(h), ParametersEnd(Stripped(h)));
            }
            stack.push_back(f);
            headStart = i + 1;
        }
    }
    return out;
}

CTreeSizes MeasureTree(const fs::path& root)
{
    static const std::set<std::string> ext{".h", ".hpp", ".c", ".cc", ".cpp"};
    CTreeSizes out;
    if (!fs::is_directory(root / "src")) return out;
    for (const auto& e : fs::recursive_directory_iterator(root / "src")) {
        if (!e.is_regular_file() || !ext.count(e.path().extension().string())) continue;
        std::ifstream in(e.path());
        std::stringstream ss;
        ss << in.rdbuf();
        const std::string text = ss.str();
        const fs::path rel = fs::relative(e.path(), root);
        out.files.push_back({rel, static_cast<int>(std::count(text.begin(), text.end(), '\n')), "", 0});
        for (const CFunction& f : ScanFunctions(text)) out.functions.push_back({rel, f.Lines(), f.name, f.firstLine});
    }
    auto longestFirst = [](const CMeasure& a, const CMeasure& b) {
        return a.lines != b.lines ? a.lines > b.lines : std::tie(a.file, a.firstLine) < std::tie(b.file, b.firstLine);
    };
    std::sort(out.files.begin(), out.files.end(), longestFirst);
    std::sort(out.functions.begin(), out.functions.end(), longestFirst);
    return out;
}

std::vector<CMeasure> OverLimits(const CTreeSizes& sizes)
{
    std::vector<CMeasure> out;
    for (const CMeasure& m : sizes.files)
        if (m.lines > kMaxFileLines) out.push_back(m);
    for (const CMeasure& m : sizes.functions)
        if (m.lines > kMaxFunctionLines) out.push_back(m);
    return out;
}

std::string Describe(const CMeasure& m)
{
    if (m.function.empty()) return m.file.generic_string() + ": " + std::to_string(m.lines) + " lines";
    return m.file.generic_string() + ":" + std::to_string(m.firstLine) + ": " + m.function + " "
           + std::to_string(m.lines) + " lines";
}

} // namespace sizes
