// SPDX-License-Identifier: GPL-3.0-or-later
// What a reader of one survey file format offers: the files it knows (for
// the file dialogs' filters), whether a file is one of them, and the survey
// it finds in one. A reader reports its progress and the refusal's German
// text; the document is changed only by the opener, from the image.
#pragma once

#include "doc/outcome.h"

#include <string>
#include <string_view>
#include <vector>

class CDocHost;
struct CSurveyImage;

namespace tresimport {

// "Tresmon Dateien" with {"*.tsd"}: one line of a file dialog's filter.
struct CFileFilter {
    std::string name;
    std::vector<std::string> patterns;
};

// How a reader recognises a file: by what it holds (the strongest), by its
// name only, or not at all.
enum class EMatch { No, Name, Content };

// Read, or refused with the German text that names the file.
using CReadOutcome = tresdoc::SOutcome;

class CSurveyReader {
public:
    virtual ~CSurveyReader() = default;
    virtual const CFileFilter& Filter() const = 0;
    // `head` is the file's first bytes (at most kIdentifyBytes), `name` its
    // path as given; an empty name is a stream (standard input).
    virtual EMatch Identify(std::string_view head, std::string_view name) const = 0;
    // The whole file into `image`; `name` is how messages call the file.
    // Progress and status go to `host`.
    virtual CReadOutcome Read(std::string_view bytes, const std::string& name, CDocHost& host,
                              CSurveyImage& image) const = 0;
};

// How much of a file identification looks at.
inline constexpr size_t kIdentifyBytes = 4096;

} // namespace tresimport
