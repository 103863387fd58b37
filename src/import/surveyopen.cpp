// SPDX-License-Identifier: GPL-3.0-or-later
#include "surveyopen.h"

#include "csvreader.h"
#include "doc/fileerror.h"
#include "doc/surveyimage.h"
#include "doc/surveypath.h"
#include "doc/tredoc.h"
#include "filebytes.h"
#include "readerregistry.h"
#include "tsdreader.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace tresimport {

namespace {

// The reader's survey into the document; `name` as messages call the file,
// `fileName` as the reader may recognise it (empty for a stream).
bool Take(CTreDoc& doc, std::string_view bytes, const std::string& name, std::string_view fileName,
          const CReaderRegistry& registry, bool bShowRefusal = true)
{
    const bool appending = doc.m_bAppend;
    doc.m_bAppend = false;
    const std::string_view head = bytes.substr(0, std::min(bytes.size(), kIdentifyBytes));
    const CSurveyReader* reader = registry.Identify(head, fileName);
    if (!reader) {
        if (bShowRefusal) doc.Host().ShowMessage(UnknownFormatText(name, registry.Filters()));
        return false;
    }
    CSurveyImage image;
    const CReadOutcome outcome = reader->Read(bytes, name, doc.Host(), image);
    if (!outcome.Ok()) {
        if (bShowRefusal) doc.Host().ShowMessage(outcome.text);
        return false;
    }
    if (appending) doc.Append(std::move(image));
    else doc.Replace(std::move(image));
    return true;
}

bool TakeOpen(CTreDoc& doc, int fd, const std::string& name, std::string_view fileName, const CReaderRegistry& registry)
{
    CFileBytes bytes;
    if (!ReadWhole(fd, name, doc.Host(), bytes)) {
        doc.m_bAppend = false;
        return false;
    }
    return Take(doc, bytes.View(), name, fileName, registry);
}

} // namespace

bool OpenSurvey(CTreDoc& doc, const std::string& path, const CReaderRegistry& registry)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        doc.Host().ShowMessage(tresdoc::OpenErrorText(path, errno));
        doc.m_bAppend = false;
        return false;
    }
    const bool appending = doc.m_bAppend;
    const bool ok = TakeOpen(doc, fd, path, path, registry);
    ::close(fd);
    if (ok && !appending) doc.SetPathName(path);
    return ok;
}

bool OpenSurvey(CTreDoc& doc, const std::string& path) { return OpenSurvey(doc, path, CReaderRegistry::Program()); }

const CSurveyReader* IdentifyFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat st { };
    std::string head(kIdentifyBytes, '\0');
    ssize_t got = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        do got = ::read(fd, head.data(), head.size());
        while (got < 0 && errno == EINTR);
    }
    ::close(fd);
    if (got < 0) return nullptr;
    head.resize(static_cast<size_t>(got));
    return CReaderRegistry::Program().Identify(head, path);
}

bool OpenSurveyPath(CTreDoc& doc, const std::string& path)
{
    // Standard input is no file of the document's: the path stays as it was.
    if (tresdoc::IsStandardStream(path))
        return TakeOpen(doc, STDIN_FILENO, tresdoc::kStandardInputName, {}, CReaderRegistry::Program());
    return OpenSurvey(doc, path);
}

bool AppendSurvey(CTreDoc& doc, const std::string& path)
{
    doc.m_bAppend = true;
    return OpenSurvey(doc, path);
}

bool ReadText(CTreDoc& doc, std::string_view bytes)
{
    // Silent, as tests and the fuzzer want it: the caller sees the result.
    return Take(doc, bytes, tresdoc::kStandardInputName, {}, CReaderRegistry::Program(), false);
}

bool OpenSurveyBytes(CTreDoc& doc, std::string_view bytes, const std::string& name)
{
    const bool appending = doc.m_bAppend;
    const bool ok = Take(doc, bytes, name, name, CReaderRegistry::Program());
    if (ok && !appending) doc.SetPathName(name);
    return ok;
}

bool OpenSurveyBytes(CTreDoc& doc, std::string_view bytes, const std::string& name, const std::string& reading)
{
    if (reading.empty()) return OpenSurveyBytes(doc, bytes, name);
    std::string error;
    auto options = OptionsOfReading(reading, error);
    if (!options) {
        doc.Host().ShowMessage(name + ": " + error);
        doc.m_bAppend = false;
        return false;
    }
    // Our own format stays ours: the reading of an export applies to one.
    CReaderRegistry readers;
    readers.Add(std::make_unique<CTsdReader>());
    readers.Add(std::make_unique<CCsvReader>(std::move(*options)));
    const bool appending = doc.m_bAppend;
    const bool ok = Take(doc, bytes, name, name, readers);
    if (ok && !appending) doc.SetPathName(name);
    return ok;
}

} // namespace tresimport
