// SPDX-License-Identifier: GPL-3.0-or-later
// The colours of what the program's windows say in words: a refusal or an
// error the user must mend, and a warning that does not stop the work. One
// definition, so every window marks alike.
#pragma once

#include <QString>

namespace textcolours {

inline QString Error() { return QStringLiteral("#b00000"); }
inline QString Warning() { return QStringLiteral("#a05000"); }

// A label's style sheet in the error colour.
inline QString ErrorStyle() { return QStringLiteral("color: ") + Error() + QLatin1Char(';'); }
// Rich text in a colour, already escaped by the caller.
inline QString Coloured(const QString& colour, const QString& html)
{
    return QStringLiteral("<span style=\"color:") + colour + QStringLiteral("\">") + html + QStringLiteral("</span>");
}

} // namespace textcolours
