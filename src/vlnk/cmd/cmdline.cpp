// SPDX-License-Identifier: LGPL-2.1-or-later
#include "cmdline.h"

#include <cctype>
#include <cstdio>
#include <strings.h>

namespace vlnk {
namespace {

using Match = CmdForm;

struct TableEntry {
    const char* name;
    Match match;
};

constexpr TableEntry kTable[] = {
    {"/CFGPATH", Match::IgnoredPrefix},
    {"/PORT", Match::Value},
    {"/IRQ", Match::IgnoredPrefix},
    {"/ADDR", Match::IgnoredPrefix},
    {"/BAUD", Match::Value},
    {"/DOWNLOAD", Match::Value},
    {"/TX", Match::Value},
    {"/RX", Match::Value},
    {"/DEL", Match::Value},
    {"/FREE", Match::Whole},
    {"/CD", Match::Value},
    {"/LISTDRIVES", Match::Whole},
    {"/DIR", Match::Whole},
    {"/SHOW", Match::Whole},
    {"/NOSCREEN", Match::Whole},
    {"/ABORT", Match::Whole},
    {"/DATE", Match::Whole},
    {"/TIME", Match::Whole},
    {"/U", Match::Value},
    {"/MINIMIZE", Match::Whole},
};
constexpr size_t kTableSize = sizeof kTable / sizeof kTable[0];

struct Machine {
    const char* name;
    int number;
};
constexpr Machine kMachines[] = {{"VARDEN", 1}, {"ORLE", 2}, {"VARDEN16", 3}, {"XT2", 4}};

constexpr const char* kCmdError = "VLNKWDLL:CMDVLNK:ERROR:";

std::string Format(const char* format, const std::string& a, const std::string& b = {})
{
    const int n = std::snprintf(nullptr, 0, format, a.c_str(), b.c_str());
    std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) std::snprintf(out.data(), out.size() + 1, format, a.c_str(), b.c_str());
    return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view TrimRight(std::string_view text)
{
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool StartsWithNoCase(std::string_view token, const char* name)
{
    const size_t n = std::char_traits<char>::length(name);
    return token.size() >= n && strncasecmp(token.data(), name, n) == 0;
}

bool EqualsNoCase(std::string_view token, const char* name)
{
    return token.size() == std::char_traits<char>::length(name) && StartsWithNoCase(token, name);
}

// Over-long tokens appear in log lines only with their start.
std::string Shown(std::string_view token)
{
    if (token.size() <= kTokenMax) return std::string(token);
    return std::string(token.substr(0, kTokenMax)) + "...";
}

class CParser {
public:
    ParseOutcome Run(std::string_view line)
    {
        // Each token runs from its "/" to the next one; the text before the first
        // "/" is a token of its own.
        size_t start = 0;
        for (;;) {
            size_t next = line.find('/', start + 1);
            if (next == std::string_view::npos) next = line.size();
            Token(TrimRight(line.substr(start, next - start)));
            if (next >= line.size()) break;
            start = next;
        }
        return std::move(m_out);
    }

private:
    void Token(std::string_view token)
    {
        if (token.empty()) return;
        if (token.size() > kTokenMax) return Refuse(token, "Parameter longer than 100 characters");
        size_t index = 0;
        for (; index < kTableSize; ++index) {
            const TableEntry& entry = kTable[index];
            if (entry.match == Match::Whole ? EqualsNoCase(token, entry.name) : StartsWithNoCase(token, entry.name))
                break;
        }
        if (index == kTableSize) return Refuse(token, "Invalid command");
        const TableEntry& entry = kTable[index];
        const auto code = static_cast<CmdCode>(index);
        if (entry.match != Match::Value) return Flag(code);

        const size_t nameLength = std::char_traits<char>::length(entry.name);
        if (token.size() == nameLength) return Refuse(token, "No extra details");
        const char separator = token[nameLength];
        if (separator != '=' && separator != ':') {
            char detail[32];
            std::snprintf(detail, sizeof detail, "Invalid seperator [%c]", separator);
            return Refuse(token, detail);
        }
        const std::string value(TrimRight(token.substr(nameLength + 1)));
        if (value.empty()) return Refuse(token, "No extra details");
        Value(token, code, value);
    }

    void Refuse(std::string_view token, const std::string& detail)
    {
        const std::string shown = Shown(token);
        m_out.log.push_back(kCmdError + Format("'%s':%s", shown, detail));
        m_out.status = Format("Invalid parameter '%s/%s'", shown, detail);
        m_out.bOk = false;
    }

    void Flag(CmdCode code)
    {
        CmdJob& job = m_out.job;
        switch (code) {
        case CmdCode::NoScreen: job.bShowDialog = false; break;
        case CmdCode::Abort: job.bAbortAtEnd = true; break;
        case CmdCode::Minimize: job.bMinimize = true; break;
        case CmdCode::Date:
        case CmdCode::Time: Append(code, {}, CommandName(code)); break;
        default: // accepted for compatibility, without effect
            break;
        }
    }

    void Value(std::string_view token, CmdCode code, const std::string& value)
    {
        switch (code) {
        case CmdCode::Port: return Port(token, value);
        case CmdCode::User: return User(token, value);
        case CmdCode::Download: return Download(value);
        default: return Append(code, value, std::string(token));
        }
    }

    void Port(std::string_view token, const std::string& value)
    {
        CmdJob& job = m_out.job;
        if (job.mode == PortMode::GivenPort) {
            m_out.log.push_back(kCmdError + Format("Port already set to '%s',cannot try '%s'", job.port, value));
            return;
        }
        if (job.mode == PortMode::PollUser) {
            m_out.log.push_back(
                kCmdError + Format("Already trying for user '%s', cannot try '%s'", std::to_string(job.user), value));
            return;
        }
        std::string port;
        if (std::isdigit(static_cast<unsigned char>(value[0]))) {
            port = "COM" + value;
        } else {
            // A device path in the DOS form of the command language.
            const bool drive
                = value.size() >= 2 && std::isalpha(static_cast<unsigned char>(value[0])) && value[1] == ':';
            port = value.substr(drive ? 2 : 0);
            for (char& c : port)
                if (c == '\\') c = '/';
        }
        // A longer name could not be opened, and must not become the remembered port.
        if (port.empty() || port.size() > kCmdPortMax) return Refuse(token, "Invalid port name");
        job.mode = PortMode::GivenPort;
        job.port = port;
    }

    void User(std::string_view token, const std::string& value)
    {
        CmdJob& job = m_out.job;
        if (job.mode == PortMode::PollUser) {
            m_out.log.push_back(kCmdError
                                + Format("User already set to '%s', cannot try '%s'", std::to_string(job.user), value));
            return;
        }
        // The number goes into the "HELLO" text; anything but a plain number would
        // poll for a user nobody configured.
        if (value.size() > 9 || value.find_first_not_of("0123456789") != std::string::npos)
            return Refuse(token, "Invalid user number");
        if (job.mode == PortMode::GivenPort)
            m_out.log.push_back(kCmdError + Format("Port already set to '%s', will try user '%s'", job.port, value));
        job.mode = PortMode::PollUser;
        job.port.clear();
        job.user = std::stoi(value);
    }

    void Download(const std::string& value)
    {
        for (const Machine& machine : kMachines) {
            if (EqualsNoCase(value, machine.name)) {
                m_out.job.bDownload = true;
                m_out.job.nMachine = machine.number;
                return;
            }
        }
        m_out.log.push_back(kCmdError + Format("Invalid machine type '%s'", value));
        m_out.status = Format("Invalid machine type '%s'", value);
        m_out.bOk = false;
    }

    // A list that cannot hold every command fails the whole line: running only
    // the first 30 and reporting success would hide the ones left out.
    void Append(CmdCode code, const std::string& value, const std::string& token)
    {
        if (m_out.job.list.size() >= kCommandListMax) {
            m_out.log.push_back(kCmdError + Format("Command line to big for [%s]", token));
            m_out.status = Format("Command line to big for [%s]", token);
            m_out.bOk = false;
            return;
        }
        m_out.job.list.push_back({code, value});
    }

    ParseOutcome m_out;
};

} // namespace

ParseOutcome ParseCommandLine(std::string_view line)
{
    ParseOutcome outcome = CParser().Run(line);
    // A firmware download talks to the loader on a port, never to a user's handheld.
    if (outcome.bOk && outcome.job.bDownload && outcome.job.mode == PortMode::PollUser) {
        outcome.job.mode = PortMode::LastPort;
        outcome.job.user = 0;
    }
    return outcome;
}

const char* CommandName(CmdCode code)
{
    const auto index = static_cast<size_t>(code);
    return index < kTableSize ? kTable[index].name : "";
}

CmdForm CommandForm(CmdCode code)
{
    const auto index = static_cast<size_t>(code);
    return index < kTableSize ? kTable[index].match : CmdForm::Whole;
}

} // namespace vlnk
