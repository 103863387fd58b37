// SPDX-License-Identifier: GPL-3.0-or-later
// The survey readers the program knows, asked in turn which one a file is
// for. Every place that opens a survey asks here, and the file dialogs list
// the readers' filters, so a new format is one reader added to Program().
#pragma once

#include "surveyreader.h"

#include <memory>
#include <string>
#include <vector>

namespace tresimport {

class CReaderRegistry {
public:
    // The program's readers; the first is its own format, which it writes.
    static const CReaderRegistry& Program();

    void Add(std::unique_ptr<CSurveyReader> reader);
    // The reader that recognises the file most strongly (content before
    // name; among equals the one added first); nullptr when none does.
    const CSurveyReader* Identify(std::string_view head, std::string_view name) const;
    // One filter per reader, in the order they were added.
    std::vector<CFileFilter> Filters() const;

private:
    std::vector<std::unique_ptr<CSurveyReader>> m_readers;
};

// "Die Datei X hat kein bekanntes Format (bekannt: Tresmon Dateien (*.tsd)).
// Sie wurde nicht geöffnet."
std::string UnknownFormatText(const std::string& name, const std::vector<CFileFilter>& known);

// "Tresmon Dateien (*.tsd)": a filter as a file dialog shows it.
std::string FilterText(const CFileFilter& filter);

} // namespace tresimport
