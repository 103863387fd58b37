// SPDX-License-Identifier: GPL-3.0-or-later
#include "readerregistry.h"

#include "csvreader.h"
#include "tsdreader.h"

namespace tresimport {

const CReaderRegistry& CReaderRegistry::Program()
{
    static const CReaderRegistry registry = [] {
        CReaderRegistry r;
        r.Add(std::make_unique<CTsdReader>());
        r.Add(std::make_unique<CCsvReader>());
        return r;
    }();
    return registry;
}

void CReaderRegistry::Add(std::unique_ptr<CSurveyReader> reader) { m_readers.push_back(std::move(reader)); }

const CSurveyReader* CReaderRegistry::Identify(std::string_view head, std::string_view name) const
{
    const CSurveyReader* best = nullptr;
    EMatch bestMatch = EMatch::No;
    for (const auto& reader : m_readers) {
        const EMatch m = reader->Identify(head, name);
        if (m > bestMatch) {
            best = reader.get();
            bestMatch = m;
        }
    }
    return best;
}

std::vector<CFileFilter> CReaderRegistry::Filters() const
{
    std::vector<CFileFilter> out;
    for (const auto& reader : m_readers) out.push_back(reader->Filter());
    return out;
}

std::string FilterText(const CFileFilter& filter)
{
    std::string s = filter.name + " (";
    for (size_t i = 0; i < filter.patterns.size(); ++i) s += (i ? " " : "") + filter.patterns[i];
    return s + ")";
}

std::string UnknownFormatText(const std::string& name, const std::vector<CFileFilter>& known)
{
    std::string list;
    for (const CFileFilter& f : known) list += (list.empty() ? "" : ", ") + FilterText(f);
    return "Die Datei " + name + " hat kein bekanntes Format (bekannt: " + list + "). Sie wurde nicht geöffnet.";
}

} // namespace tresimport
