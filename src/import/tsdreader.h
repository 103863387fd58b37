// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own measurement files (.tsd), in the sectioned layout and in
// the older one of ten header lines before the data.
#pragma once

#include "surveyreader.h"

namespace tresimport {

class CTsdReader : public CSurveyReader {
public:
    const CFileFilter& Filter() const override;
    // Content: a section heading starts a line. Name: the ending .tsd in any
    // case, or no name at all (a stream).
    EMatch Identify(std::string_view head, std::string_view name) const override;
    // The text is cut at its first NUL byte. A text without the section
    // [Messdaten], or whose data lines hold no number at all, is refused.
    CReadOutcome Read(std::string_view bytes, const std::string& name, CDocHost& host,
                      CSurveyImage& image) const override;
};

} // namespace tresimport
