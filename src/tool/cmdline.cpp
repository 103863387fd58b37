// SPDX-License-Identifier: GPL-3.0-or-later
#include "cmdline.h"

#include "optionword.h"
#include "toolhost.h"

#include <algorithm>

#include <cstdio>
#include <getopt.h>

std::string CommandUsage(const std::string& synopsis) { return "Aufruf: tresmon-tool " + synopsis; }

std::string RejectedOptionWord(char** argv)
{
    // A letter of its own, or the whole word (up to '=') of a long option.
    std::string word = optopt > 0 && optopt < kFirstLongOption ? std::string("-") + static_cast<char>(optopt)
                                                               : std::string(argv[optind - 1]);
    return word.substr(0, word.find('='));
}

int ParseCommandLine(const Args& args, std::initializer_list<OptionDef> defs, const std::string& usage,
                     CommandLine& out)
{
    // Shortened names the way every command takes them, so an ambiguous one
    // is named alike everywhere; getopt_long sees whole names only.
    std::vector<SOptionName> known{{"--help", 0}};
    for (const OptionDef& d : defs) known.push_back({std::string("--") + d.longName, d.values});
    std::vector<std::string> words{"tresmon-tool"};
    words.insert(words.end(), args.begin(), args.end());
    std::string error;
    if (std::vector<std::string> rest(words.begin() + 1, words.end()); ExpandOptionWords(rest, known, error)) {
        std::copy(rest.begin(), rest.end(), words.begin() + 1);
    } else {
        ToolError(error);
        return kExitUsage;
    }
    // getopt_long wants writable words and a program name in front.
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());

    const int kHelp = kFirstLongOption + static_cast<int>(defs.size());
    constexpr int kShortHelp = 'h';
    std::vector<option> longopts;
    // "-": operands come back in place (code 1), so steps keep their order;
    // ":": a missing value is told apart from an unknown option.
    std::string shortopts = "-:h";
    int index = 0;
    for (const OptionDef& d : defs) {
        longopts.push_back(
            {d.longName, d.values > 0 ? required_argument : no_argument, nullptr, kFirstLongOption + index});
        if (d.shortName) {
            shortopts += d.shortName;
            if (d.values > 0) shortopts += ':';
        }
        ++index;
    }
    longopts.push_back({"help", no_argument, nullptr, kHelp});
    longopts.push_back({nullptr, 0, nullptr, 0});

    auto defAt = [&](int i) { return *(defs.begin() + i); };
    opterr = 0; // the messages are ours, in German
    optind = 0; // start afresh, also on a second call in the same process
    int c;
    while ((c = getopt_long(argc, argv.data(), shortopts.c_str(), longopts.data(), nullptr)) != -1) {
        if (c == 1) {
            out.operands.emplace_back(optarg);
            continue;
        }
        if (c == kHelp || c == kShortHelp) {
            std::fputs((usage + "\n").c_str(), stdout);
            return kExitOk;
        }
        if (c == ':') {
            ToolError(usage);
            return kExitUsage;
        }
        if (c == '?') {
            ToolError("Unbekannte Option: " + RejectedOptionWord(argv.data()));
            return kExitUsage;
        }
        int i = c - kFirstLongOption;
        if (c < kFirstLongOption) {
            for (i = 0; i < static_cast<int>(defs.size()) && defAt(i).shortName != c; ++i) { }
        }
        const OptionDef& d = defAt(i);
        GivenOption given{d.longName, {}};
        if (d.values > 0) given.values.emplace_back(optarg);
        // getopt_long knows one value per option; the others are the next
        // words as they stand, even when they start with a minus.
        for (int k = 1; k < d.values; ++k) {
            if (optind >= argc) {
                ToolError(usage);
                return kExitUsage;
            }
            given.values.emplace_back(argv[optind++]);
        }
        out.options.push_back(std::move(given));
    }
    // After "--" the rest are operands.
    for (int k = optind; k < argc; ++k) out.operands.emplace_back(argv[k]);
    return -1;
}
