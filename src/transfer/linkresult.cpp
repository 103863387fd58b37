// SPDX-License-Identifier: GPL-3.0-or-later
#include "linkresult.h"

QString LinkResultText(int code)
{
    switch (code) {
    case 0: return QStringLiteral("Erfolgreich");
    case 201: return QStringLiteral("Kanal bereits belegt");
    case 202: return QStringLiteral("Kanal nicht geöffnet");
    case 203: return QStringLiteral("Ungültige Kanalnummer");
    case 204: return QStringLiteral("Schnittstelle konnte nicht geöffnet werden");
    case 205: return QStringLiteral("Schnittstelle konnte nicht geschlossen werden");
    case 206:
    case 207: return QStringLiteral("Überwachung der Schnittstelle nicht möglich");
    case 208: return QStringLiteral("Schnittstelle konnte nicht eingestellt werden");
    case 209: return QStringLiteral("Der Kanal führt bereits einen Befehl aus");
    case 210: return QStringLiteral("Der Kanal führt keinen Befehl aus");
    case 211: return QStringLiteral("Die Logato hat nicht rechtzeitig geantwortet");
    case 212: return QStringLiteral("Keine Antwort von der Logato");
    case 213: return QStringLiteral("Wartet auf Antwort");
    case 214: return QStringLiteral("Interner Fehler der Übertragung");
    case 215: return QStringLiteral("Senden an die Schnittstelle fehlgeschlagen");
    case 216: return QStringLiteral("Fehler beim Empfangen der Datei");
    case 217: return QStringLiteral("Fehler an der Schnittstelle");
    case 218: return QStringLiteral("Ungültige Baudrate");
    case 219: return QStringLiteral("Laufwerk konnte nicht gewählt werden");
    case 220: return QStringLiteral("Verzeichnis nicht gefunden");
    case 221: return QStringLiteral("Datum konnte nicht gesetzt werden");
    case 222: return QStringLiteral("Uhrzeit konnte nicht gesetzt werden");
    case 223: return QStringLiteral("Ungültiger Dateiname");
    case 224: return QStringLiteral("Datei nicht gefunden");
    case 225: return QStringLiteral("Datei konnte nicht geöffnet werden");
    case 226: return QStringLiteral("Auf der Logato ist kein Platz mehr oder die Datei ist schreibgeschützt");
    case 227: return QStringLiteral("Auf dem PC ist kein Platz mehr");
    case 228: return QStringLiteral("Keine Berechtigung, die Datei auf dem PC zu überschreiben");
    case 229: return QStringLiteral("Übertragung abgebrochen");
    case 230: return QStringLiteral("Ungültiger Gerätetyp");
    case 231: return QStringLiteral("Programmdatei nicht gefunden");
    default: break;
    }
    return QStringLiteral("Fehler %1").arg(code);
}
