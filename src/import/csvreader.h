// SPDX-License-Identifier: GPL-3.0-or-later
// Other loggers' CSV and text exports, read through a column map: the one
// given, or a built-in one its header line matches.
#pragma once

#include "columnmap.h"
#include "surveyreader.h"

#include <optional>
#include <string>
#include <vector>

namespace tresimport {

// A map the user chose for files whose header line reads `headerLine`
// (the line behind the map's `skip` lines, without its line end and the
// blanks around it), with the choice of skipping bad lines made with it.
struct SRememberedMap {
    std::string headerLine;
    CColumnMap map;
    bool skipBad = false;
};

struct CCsvOptions {
    std::optional<CColumnMap> map; // none: a remembered map, else a built-in one, from the header line
    bool skipBad = false;          // a line that cannot be read is skipped and named, not fatal
    // Tried before the built-in maps, in order, when no map is given.
    std::vector<SRememberedMap> remembered;
};

// What every opener's CSV reader uses in this process: the tool sets it from
// --map and --skip-bad before it opens a survey, the program from the maps
// its import dialog remembered.
void SetCsvOptions(CCsvOptions options);
const CCsvOptions& CsvOptions();

// The options a survey's reading (CSurveyExtras::reading, written by the
// reader) says it was read with; nullopt with the German reason when the
// text is no such record.
std::optional<CCsvOptions> OptionsOfReading(const std::string& reading, std::string& error);

class CCsvReader : public CSurveyReader {
public:
    // Without options the process's (CsvOptions()) count at each call.
    CCsvReader() = default;
    explicit CCsvReader(CCsvOptions options)
        : m_own(std::move(options))
    { }
    const CFileFilter& Filter() const override;
    // Content: a header line a built-in map (or the map given) knows. Name:
    // .csv or .txt when a map is given.
    EMatch Identify(std::string_view head, std::string_view name) const override;
    // Refused, naming line, column and cell, when a line cannot be read
    // (unless skipBad); the warnings (rounded stations, skipped lines) go to
    // the host's ShowMessage and stay with the survey's extras, and so does
    // the map as applied, every `auto` decided (the extras' `reading`).
    CReadOutcome Read(std::string_view bytes, const std::string& name, CDocHost& host,
                      CSurveyImage& image) const override;

    // The map Read would use for `bytes`, or nullopt with the German reason.
    std::optional<CColumnMap> MapFor(std::string_view bytes, const std::string& name, std::string& error) const;
    // The map a file's header line asks for before its cells are looked at
    // (the one given, a remembered or a built-in one; `auto` settings left
    // as they are), with whether bad lines are skipped; nullopt when none.
    std::optional<SRememberedMap> ChosenMap(std::string_view bytes) const;

private:
    const CCsvOptions& Options() const { return m_own ? *m_own : CsvOptions(); }
    std::optional<CCsvOptions> m_own;
};

} // namespace tresimport
