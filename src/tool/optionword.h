// SPDX-License-Identifier: GPL-3.0-or-later
// How every command of the tool reads its words, whichever loop then takes
// them apart: a long option may be shortened while it stays unique, may
// carry its value after '=' ("--gap=20"), and "--" ends the options.
#pragma once

#include <string>
#include <vector>

struct SOptionWord {
    std::string name;
    std::string value;
    bool hasValue = false;
};

inline SOptionWord SplitOptionWord(const std::string& word)
{
    SOptionWord w{word, {}, false};
    if (word.rfind("--", 0) != 0) return w;
    const size_t eq = word.find('=');
    if (eq == std::string::npos) return w;
    return {word.substr(0, eq), word.substr(eq + 1), true};
}

// A long option a command knows, with its dashes ("--gap"), and how many
// words follow it as its values.
struct SOptionName {
    std::string name;
    int values = 0;
};

// Writes every long option word before "--" that begins one known name and
// no other, or is one exactly, as that name (a value after '=' kept); the
// values of a known option are passed over as they stand. A word that
// begins several names is refused with a German message in `error` naming
// them; an unknown word stays as it is, for the command to name.
bool ExpandOptionWords(std::vector<std::string>& args, const std::vector<SOptionName>& known, std::string& error);

// Goes through a command's words in order for the loop that takes them
// apart: "--" is passed over, and every word after it is an operand.
class COptionWalk {
public:
    explicit COptionWalk(const std::vector<std::string>& args)
        : m_args(args)
    { }
    // Moves to the next word; false after the last.
    bool Next()
    {
        m_at = m_next++;
        if (!m_operandsOnly && m_at < m_args.size() && m_args[m_at] == "--") {
            m_operandsOnly = true;
            m_at = m_next++;
        }
        return m_at < m_args.size();
    }
    const std::string& Word() const { return m_args[m_at]; }
    size_t Index() const { return m_at; }
    // Whether the word stands after "--", so is an operand whatever it reads.
    bool IsOperand() const { return m_operandsOnly; }
    // The word after this one as an option's value, which is then passed
    // over; false when there is none.
    bool TakeNext(std::string& value)
    {
        if (m_next >= m_args.size()) return false;
        m_at = m_next++;
        value = m_args[m_at];
        return true;
    }

private:
    const std::vector<std::string>& m_args;
    size_t m_at = 0, m_next = 0;
    bool m_operandsOnly = false;
};
