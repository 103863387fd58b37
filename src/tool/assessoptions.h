// SPDX-License-Identifier: GPL-3.0-or-later
// The protection assessment's command-line options, shared by `assess` and
// `report` (which runs in the Qt half): the survey, the native survey for
// the 100 mV criterion, every setting of the verdict, the pipeline data, and
// for `report` the comparison survey with its mode and limits. No Qt here,
// so both halves of the tool parse them with the same code.
#pragma once

#include "doc/comparison.h"
#include "doc/verdictsettings.h"

#include <optional>
#include <string>
#include <vector>

enum class EAssessCommand {
    Assess,  // also takes --json, --csv, --rows and --native FILE [--reverse]
    Report,  // also takes -o OUT.pdf, which it needs, --native FILE [--reverse],
             // and --compare EARLIER with --native without a file name (the
             // earlier survey is the native one, and so serves the 100 mV
             // criterion too), --worse-limit, --shift-limit, --reverse and
             // --no-align, --section, --merge, --final, --report-number,
             // --revision, and the texts of the issuer and of how the survey
             // was taken (kReportTextOptions)
    Export,  // also takes --native FILE [--reverse], and needs --format F and
             // -o OUT; the map formats need --pipeline too
    Archive, // `archive add` and `reassess`: any number of operands (the
             // archive, the files or survey numbers), --native FILE
             // [--reverse], --date YYYY-MM-DD and --archive ARCHIVE
};

struct SAssessOptions {
    std::string path;
    // archive: every operand in order, the option words that make the
    // assessment (canonical long forms, values as given; not --archive or
    // --date), the archive named by --archive and the date by --date.
    std::vector<std::string> operands, assessWords;
    std::optional<std::string> archive;
    std::string date;
    bool csv = false;   // assess: spreadsheet CSV instead of JSON
    bool rows = false;  // assess: every row's verdict in the JSON too
    std::string output; // report: the PDF to write; export: the file
    std::string format; // export: "geojson", "kml", "gpx" or "csv"
    SVerdictSettings settings;
    // The native survey for the 100 mV criterion, empty for none. For
    // `report` the comparison survey when it is compared as native.
    std::string native;
    // Pipeline data ("Leitungsdaten"), its tolerance of the counter's stretch
    // between fixed points, and the CRS of easting/northing (EPSG code, 0 when
    // not given): the survey is tied to them (toolbinding.h) and assessed in
    // chainage.
    std::string pipeline;
    // The pipeline data's text when the command has read it already (the
    // archive keeps these very bytes); `pipeline` then names it.
    std::optional<std::string> pipelineText;
    double stretchTolerance = 0.05;
    int crs = 0;
    // Pipeline data whose route names another pipeline than the survey's
    // header are refused unless this is given.
    bool forcePipeline = false;
    std::string compare; // report: the comparison survey, empty for none
    SCompareSettings compareSettings;
    // --reverse accepts a native or comparison survey walked from the other
    // end; report: the comparison aligned as `compare` aligns it, unless
    // --no-align.
    bool reverse = false, noAlign = false;
    // report: its identity and sheets, and the issuer and how the survey
    // was taken over the program's settings "Bericht" (an option given
    // empty clears the setting).
    std::string reportNumber, revision;
    int section = 1000; // m per sheet
    int merge = 3;      // points: the stretch table joins stretches broken by fewer
    bool final = false; // a draft is refused
    std::optional<std::string> company, logo, author, electrode;
    std::optional<std::string> instrument, instrumentCalibrated, electrodeCalibrated;
    std::optional<std::string> electrodeSpacing, offDelay; // decimal numbers, m and ms
    std::optional<std::string> surveyor, qualification;
    std::optional<std::string> synchronous; // "ja", "nein" or empty
    std::optional<std::string> conditions;
};

// The report's text options and the member each sets.
struct SReportTextOption {
    const char* name;
    std::optional<std::string> SAssessOptions::*field;
};
extern const SReportTextOption kReportTextOptions[13];

// Reads the arguments after the command's name. Returns -1 when they were
// read into `o`; otherwise the exit status to end with: kExitOk after -h or
// --help printed the command's usage on standard output, kExitUsage after a
// German message and the usage line on standard error. Potentials and
// thresholds are given in mV, lengths in m, both with a decimal point or
// comma and truncated toward zero on the digits to the stored unit (whole mV,
// tenths of a mV, hundredths of a metre).
int ParseAssessOptions(const std::vector<std::string>& args, EAssessCommand command, SAssessOptions& o);
