// SPDX-License-Identifier: GPL-3.0-or-later
// The lists of the assessment report: the dig list (with pipeline data
// followed by where each entry lies), the stretches assessed and not
// "geschützt" (joined as reportstretches.h says), the stretches not
// assessed, the warnings, and the comparison's indications. Their texts
// are set once, so the page division is known before any device is; each
// page repeats a table's title and column header.
#pragma once

#include "assesslayout.h"
#include "reporttable.h"

#include <optional>
#include <vector>

class QPainter;
struct SReportContent;
struct SReportPage;

class CReportTables {
public:
    explicit CReportTables(const SReportContent& c);

    // The assessment's pages of lists, and the comparison's after its
    // first page (empty without a comparison).
    const std::vector<assesslayout::SPage>& Pages() const { return m_pages; }
    const std::vector<assesslayout::SPage>& ComparisonPages() const { return m_cmpPages; }
    const CReportTable& Table(assesslayout::ETable t) const;

    void Draw(QPainter& p, const SReportPage& page, const assesslayout::SPage& part) const;

private:
    void AddDigList();
    void AddStretches();
    void AddNotAssessed();
    QString Title(assesslayout::ETable t) const;

    const SReportContent& m_c;
    std::vector<CReportTable> m_tables; // the assessment's lists by ETable
    std::optional<CReportTable> m_places;
    std::optional<CReportTable> m_cmpTable;
    std::vector<assesslayout::SPage> m_pages, m_cmpPages;
};
