// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportfigures.h"

#include "assesslayout.h"
#include "doc/codepage.h"
#include "doc/tredoc.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace reportfigures {

SKeyFigures KeyFigures(const SVerdict& v)
{
    SKeyFigures k;
    k.totalLength = v.coverage.totalLength;
    k.assessedLength = v.coverage.assessedLength;
    k.assessedShareTenths = ShareTenths(k.assessedLength, k.totalLength);
    k.statuses = v.statuses;
    k.defects = static_cast<int>(v.defects.size());
    for (const SCoatingDefect& d : v.defects) ++k.defectsByCategory[static_cast<size_t>(std::clamp(d.category, 0, 4))];
    // In hundredths of a metre, so the ratio is taken of exact integers.
    const int64_t assessed = std::llround(k.assessedLength * 100.0);
    if (assessed > 0) {
        const int64_t twice = int64_t{k.defects} * 1000 * 10 * 100 * 2; // defects per km, tenths, doubled
        k.defectsPerKmTenths = static_cast<int32_t>((twice / assessed + 1) / 2);
    }
    for (const SDigItem& item : v.digList) k.digNow += item.action == EDigAction::DigNow;
    return k;
}

const char* CriterionSourceText(ECriterionSource s)
{
    switch (s) {
    case ECriterionSource::Option: return "vorgegeben";
    case ECriterionSource::Header: return "aus Kopfdaten";
    case ECriterionSource::Default: break;
    }
    return "angenommen";
}

namespace {

// QM entry i as UTF-8 without the blanks around it.
std::string QmText(const CTreDoc& doc, size_t i)
{
    std::string text = tresdoc::Cp850ToUtf8(doc.m_qm[i]);
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

std::vector<std::string> DeviceEntries(const CTreDoc& doc)
{
    std::vector<std::string> entries;
    // Another logger's export names its electrode through its column map:
    // the file's own word, as a QM entry of the handheld's would be.
    if (!doc.Extras().electrode.empty()) entries.push_back("Bezugselektrode: " + doc.Extras().electrode);
    for (size_t i = 2; i < doc.m_qm.size(); ++i)
        if (std::string text = QmText(doc, i); !text.empty()) entries.push_back(std::move(text));
    return entries;
}

std::vector<SQmField> QmFields(const CTreDoc& doc)
{
    constexpr size_t kDeviceFirst = 2, kDeviceLast = 4, kSaved = 7, kSavedWith = 8;
    std::vector<SQmField> fields;
    std::string device;
    for (size_t i = kDeviceFirst; i <= kDeviceLast; ++i)
        if (const std::string text = QmText(doc, i); !text.empty()) device += (device.empty() ? "" : " ") + text;
    if (!device.empty()) fields.push_back({"Gerät", device});
    for (size_t i = kDeviceLast + 1; i < doc.m_qm.size(); ++i) {
        std::string text = QmText(doc, i);
        if (text.empty()) continue;
        const std::string label = i == kSaved       ? "zuletzt gespeichert"
                                  : i == kSavedWith ? "gespeichert mit"
                                                    : "QM-Angabe " + std::to_string(i);
        fields.push_back({label, std::move(text)});
    }
    return fields;
}

std::string ReferenceElectrode(const std::vector<std::string>& deviceEntries, const std::string& setting)
{
    static const std::string kWord = "bezugselektrode";
    for (const std::string& entry : deviceEntries) {
        std::string lower = entry;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        const size_t at = lower.find(kWord);
        if (at == std::string::npos) continue;
        size_t from = at + kWord.size();
        while (from < entry.size() && (entry[from] == ' ' || entry[from] == '\t')) ++from;
        if (from < entry.size() && entry[from] == ':') ++from;
        while (from < entry.size() && (entry[from] == ' ' || entry[from] == '\t')) ++from;
        size_t to = entry.size();
        while (to > from && (entry[to - 1] == ' ' || entry[to - 1] == '\t')) --to;
        if (to > from) return entry.substr(from, to - from);
        break; // the word alone names no electrode: the setting does
    }
    return setting;
}

std::string ShareText(int32_t shareTenths) { return tresnum::TenthsText(shareTenths); }

} // namespace reportfigures
