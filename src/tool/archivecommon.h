// SPDX-License-Identifier: GPL-3.0-or-later
// What every `archive` command shares: its words read the same way, the
// archive named by an operand or --archive (else the default one), and an
// archive's fault turned into the message and exit status the user sees.
#pragma once

#include "commands.h"
#include "optionword.h"

#include "archive/store.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct SArchiveWords {
    std::vector<std::string> operands;
    std::map<std::string, std::string> values; // options with a value, by their long name
    std::vector<std::string> flags;            // options without one
    bool help = false;
    bool Has(const std::string& name) const;
};

// False after a usage error (message and `usage` on standard error).
bool ReadArchiveWords(const Args& args, const std::vector<SOptionName>& known, const char* usage, SArchiveWords& out);

// The archive the words name: --archive, else the first operand when it
// names one (NamesArchive) or `firstIsArchive`, which it then takes from
// `operands`; else the default archive. Empty only when no default can be
// found (no HOME): then a message was printed.
std::optional<std::string> TakeArchiveLocation(std::vector<std::string>& operands,
                                               const std::optional<std::string>& option, bool firstIsArchive);

// Opens it; nullptr after the German message. `create`: a missing file
// archive (always the default one) comes into being.
std::unique_ptr<tresarchive::CArchive> OpenForArchiveCommand(const std::string& location, bool create);

// The message of an archive's fault on standard error; the exit status.
int ArchiveFailure(const tresarchive::CArchiveError& e);

// A survey's number as given; false after a usage message.
bool ReadSurveyId(const std::string& word, long long& id, const char* usage);

int RunArchiveAdd(const Args& args);
int RunArchiveReassess(const Args& args);
int RunArchiveList(const Args& args);
int RunArchiveShow(const Args& args);
int RunArchiveGet(const Args& args);
int RunArchiveLog(const Args& args);
int RunArchiveDig(const Args& args);
