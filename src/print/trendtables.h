// SPDX-License-Identifier: GPL-3.0-or-later
// The trend report's table pages: the surveys compared with the warnings,
// the next survey due and the open digs; the changes of protection per
// pair; the track table and the findings. Each part starts a page; a table
// longer than the rest of a page goes on over the next with its column
// header again. Laid out in table lines before any device exists, so the
// page count is known first.
#pragma once

#include "reportpage.h"
#include "reporttable.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

struct STrendReportInput;

struct STrendBlock {
    QString title;                       // a section title, or empty
    std::vector<SReportField> fields;    // labelled values, or none
    const CReportTable* table = nullptr; // rows first .. first + count - 1
    int first = 0, count = 0;
};
using STrendTablePage = std::vector<STrendBlock>;

class CTrendTables {
public:
    CTrendTables(const STrendReportInput& in, const QStringList& draft);
    const std::vector<STrendTablePage>& Pages() const { return m_pages; }
    void Draw(QPainter& p, const SReportPage& page, const STrendTablePage& blocks) const;

private:
    void SurveysPart(const STrendReportInput& in, const QStringList& draft);
    void ChangesPart(const STrendReportInput& in);
    void TracksPart(const STrendReportInput& in);
    void NewPage();
    void Title(const QString& text);
    void Fields(std::vector<SReportField> fields);
    // The table under `title`; `none` in its place when it has no rows.
    void Table(const QString& title, std::unique_ptr<CReportTable> table, const QString& none);

    std::vector<std::unique_ptr<CReportTable>> m_tables;
    std::vector<QByteArray> m_titles; // the survey columns' titles the tables point to
    std::vector<STrendTablePage> m_pages;
    int m_line = 0; // the next free line of the last page
};
