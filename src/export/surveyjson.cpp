// SPDX-License-Identifier: GPL-3.0-or-later
#include "surveyjson.h"

#include "doc/tredoc.h"
#include "jsontext.h"

#include <array>
#include <string>

namespace tresexport {

namespace {

using jsontext::Int;
using jsontext::JsonText;

ojson RowJson(const CTreDoc& d, int r)
{
    ojson row;
    row["meter"] = Int(d.GetMeter(r));
    row["potOn"] = Int(d.GetPotOn(r));
    row["potOff"] = Int(d.GetPotOff(r));
    row["gradOnL"] = Int(d.GetGradOnL(r));
    row["gradOnR"] = Int(d.GetGradOnR(r));
    row["gradOffL"] = Int(d.GetGradOffL(r));
    row["gradOffR"] = Int(d.GetGradOffR(r));
    row["comment"] = JsonText(d.GetComment(r));
    row["gradOn"] = Int(d.GetGradOn(r));
    row["gradOff"] = Int(d.GetGradOff(r));
    row["gradDiff"] = Int(d.GetGradDiff(r));
    row["potIRFree"] = Int(d.GetPotIRFree(r));
    row["inErrorWindow"] = d.IsInErrorWindow(r);
    ojson text;
    text["meter"] = d.FormatMeter(r);
    text["potOn"] = d.FormatPotOn(r);
    text["potOff"] = d.FormatPotOff(r);
    text["potIRFree"] = d.FormatPotIRFree(r);
    text["gradOnL"] = d.FormatGradOnL(r);
    text["gradOnR"] = d.FormatGradOnR(r);
    text["gradOffL"] = d.FormatGradOffL(r);
    text["gradOffR"] = d.FormatGradOffR(r);
    text["gradOn"] = d.FormatGradOn(r);
    text["gradOff"] = d.FormatGradOff(r);
    text["gradDiff"] = d.FormatGradDiff(r);
    text["gradDiffL"] = d.FormatGradDiffL(r);
    text["gradDiffR"] = d.FormatGradDiffR(r);
    row["text"] = std::move(text);
    return row;
}

ojson Strings(const std::array<std::string, 20>& a)
{
    ojson arr = ojson::array();
    for (const std::string& s : a) arr.push_back(JsonText(s));
    return arr;
}

} // namespace

void WriteSurveyJson(CTreDoc& doc, const std::function<void(std::string_view)>& put)
{
    const int n = doc.GetRowCount();
    put("{\"rowCount\":" + std::to_string(n) + ",\"rows\":[");
    for (int r = 1; r <= n; ++r) {
        const std::string row = RowJson(doc, r).dump();
        put(r > 1 ? ",\n" : "\n");
        put(row);
    }

    ojson rest;
    rest["header"] = Strings(doc.m_header);
    rest["qm"] = Strings(doc.m_qm);
    ojson limits = ojson::array();
    for (int32_t v : doc.m_limits) limits.push_back(Int(v));
    rest["limits"] = std::move(limits);
    rest["tablePrint"] = {
        {"pot", doc.m_bTabPot},         {"ir", doc.m_bTabIR},
        {"grad", doc.m_bTabGrad},       {"diff", doc.m_bTabDiff},
        {"lr", doc.m_bTabLR},           {"qm", doc.m_bTabQM},
        {"linesGW", doc.m_bTabLinesGW}, {"arial", doc.m_bTabArial},
        {"errList", doc.m_bTabErrList}, {"headNumber", doc.m_bTabHeadNumber},
    };
    rest["graphicPrint"] = {
        {"potOn", doc.m_bPlotPotOn},
        {"potOff", doc.m_bPlotPotOff},
        {"ir", doc.m_bPlotIR},
        {"gradOn", doc.m_bPlotGradOn},
        {"gradOff", doc.m_bPlotGradOff},
        {"gradDiff", doc.m_bPlotGradDiff},
        {"lr", doc.m_bPlotLR},
        {"qm", doc.m_bPlotQM},
        {"headNumber", doc.m_bPlotHeadNumber},
        {"scale", Int(doc.m_nPlotScale)},
        {"start", Int(doc.m_nPlotStart)},
        {"end", Int(doc.m_nPlotEnd)},
        {"potAxisMax", Int(doc.m_nPotAxisMax)},
        {"potAxisMin", Int(doc.m_nPotAxisMin)},
        {"gradAxisMax", Int(doc.m_nGradAxisMax)},
        {"gradAxisMin", Int(doc.m_nGradAxisMin)},
    };
    rest["tableIRFree"] = doc.m_bTableIRFree;
    rest["tableLR"] = doc.m_bTableLR;
    rest["hasRightSide"] = doc.HasRightSide();
    std::string tail = rest.dump();
    // `rest` is an object; splice its members after the rows array.
    tail[0] = ',';
    put("\n]");
    put(tail);
    put("\n");
}

} // namespace tresexport
