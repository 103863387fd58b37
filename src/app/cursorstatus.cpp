// SPDX-License-Identifier: GPL-3.0-or-later
#include "cursorstatus.h"

#include "doc/numtext.h"
#include "doc/tredoc.h"

#include <cmath>

namespace {

QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

const QString kAbsent = QString::fromUtf8(tresnum::kAbsentText.data(), tresnum::kAbsentText.size());

// Potentials are kept in mV and read in V: three places lose nothing.
QString Volts(int32_t mv)
{
    return IsPresent(mv) ? Utf8(tresnum::ThousandthsText(mv, 3)) + QStringLiteral(" V") : kAbsent;
}

// Gradients are kept in tenths of a mV.
QString MilliVolts(int32_t tenths)
{
    return IsPresent(tenths) ? Utf8(tresnum::TenthsText(tenths)) + QStringLiteral(" mV") : kAbsent;
}

} // namespace

QString CursorStatusText(const CTreDoc& doc, int row, bool gradient, bool bound, double chainage,
                         const QString& electrode)
{
    if (!doc.IsValidRow(row)) return {};
    const QString dot = QStringLiteral(" · ");
    const int32_t metre = doc.GetMeter(row);
    QString text = QStringLiteral("Meter ")
                   + (IsPresent(metre) ? Utf8(tresnum::FormatInt(metre)) + QStringLiteral(" m") : kAbsent);
    if (bound)
        text += dot + QStringLiteral("Stationierung ")
                + (std::isnan(chainage) ? kAbsent : Utf8(tresnum::LengthText(chainage)) + QStringLiteral(" m"));
    if (gradient) {
        text += dot + QStringLiteral("Gradient: Ein ") + MilliVolts(doc.GetGradOn(row)) + dot + QStringLiteral("Aus ")
                + MilliVolts(doc.GetGradOff(row)) + dot + QStringLiteral("Differenz ")
                + MilliVolts(doc.GetGradDiff(row));
    } else {
        text += dot + QStringLiteral("Potential gegen ") + electrode + QStringLiteral(": Ein ")
                + Volts(doc.GetPotOn(row)) + dot + QStringLiteral("Aus ") + Volts(doc.GetPotOff(row)) + dot
                + QStringLiteral("IR-frei ") + Volts(doc.GetPotIRFree(row));
    }
    return text;
}
