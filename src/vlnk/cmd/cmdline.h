// SPDX-License-Identifier: LGPL-2.1-or-later
// The command language of CMDVLNK: a command line such as
// "/PORT=2 /CD=C:\TRE\DATEN /RX=\home\survey\*.TSD" turned into a job.
//
// Parsing touches nothing outside its result: the log lines it produces are
// handed back in order, so the run writes them and a fuzzer can call it freely.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vlnk {

// The command table, in the order tokens are matched against it.
enum class CmdCode : int {
    CfgPath = 0,
    Port,
    Irq,
    Addr,
    Baud,
    Download,
    Tx,
    Rx,
    Del,
    Free,
    Cd,
    ListDrives,
    Dir,
    Show,
    NoScreen,
    Abort,
    Date,
    Time,
    User,
    Minimize
};

// What follows a command's name in a token.
enum class CmdForm {
    Value,         // "=" or ":" and a value
    IgnoredPrefix, // anything, ignored
    Whole          // nothing
};

enum class PortMode { LastPort, GivenPort, PollUser };

struct CmdEntry {
    CmdCode code;
    std::string value; // as written, without trailing blanks; DOS path form
};

struct CmdJob {
    std::vector<CmdEntry> list; // Baud, Tx, Rx, Del, Cd, Date, Time in order
    PortMode mode = PortMode::LastPort;
    std::string port; // with GivenPort: "COMn" or a device path
    int user = 0;     // with PollUser
    bool bShowDialog = true;
    bool bMinimize = false;
    bool bAbortAtEnd = false;
    bool bDownload = false;
    int nMachine = 0; // 1..4 with bDownload
};

struct ParseOutcome {
    bool bOk = true;
    CmdJob job;
    std::string status;           // the final message of a failed parse
    std::vector<std::string> log; // lines for the library's log, in order
};

inline constexpr size_t kTokenMax = 100;
inline constexpr size_t kCommandListMax = 30;
// Longest port name a channel opens (the same bound as CPort's).
inline constexpr size_t kCmdPortMax = 21;

// Splits the line at every "/", matches each token against the command table
// (names without regard to case; values keep their case, since PC paths are
// case-sensitive here) and applies the effects. A bad token is logged and
// fails the parse, and parsing goes on with the next one, so every mistake of
// a line is reported at once. Never throws for any input (except bad_alloc).
ParseOutcome ParseCommandLine(std::string_view line);

// The text of a command, "/TX" for CmdCode::Tx; "" past the table.
const char* CommandName(CmdCode code);
CmdForm CommandForm(CmdCode code);

} // namespace vlnk
