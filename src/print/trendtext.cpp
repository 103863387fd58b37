// SPDX-License-Identifier: GPL-3.0-or-later
#include "trendtext.h"

#include "doc/defects.h"
#include "reportpage.h"

#include <QDate>

#include <cmath>

QString TrendDate(const std::string& iso)
{
    const QString text = QString::fromStdString(iso);
    const QDate d = QDate::fromString(text, Qt::ISODate);
    return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : text;
}

QString TrendMetres(double m)
{
    const double tenths = std::round(m * 10) / 10;
    const bool whole = tenths == std::round(tenths);
    return QString::number(tenths, 'f', whole ? 0 : 1).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString TrackCell(const trestrend::STrackState& st)
{
    QString text = QString::fromUtf8(trestrend::TrackStateText(st.state));
    if (!st.defect) return text;
    const char* category = DefectCategoryName(st.defect->category);
    if (*category) text += QStringLiteral(", ") + QString::fromUtf8(category);
    return text + QStringLiteral(", ") + TrendMetres(st.defect->position) + QStringLiteral(" m");
}

QColor TrackStateColour(trestrend::ETrackState s)
{
    using trestrend::ETrackState;
    switch (s) {
    case ETrackState::New:
    case ETrackState::Worse:
    case ETrackState::AfterRepair: return kReportWarningColour;
    case ETrackState::NoLongerShown: return kReportMutedColour;
    default: return {};
    }
}
