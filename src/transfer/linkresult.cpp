// SPDX-License-Identifier: GPL-3.0-or-later
#include "linkresult.h"

#include "vlnkw32.h"

QString LinkResultText(int code)
{
    switch (code) {
    case 0: return QStringLiteral("Erfolgreich");
    case VLNK_CHANNEL_IN_USE: return QStringLiteral("Kanal bereits belegt");
    case VLNK_CHANNEL_NOT_OPEN: return QStringLiteral("Kanal nicht geöffnet");
    case VLNK_BAD_CHANNEL: return QStringLiteral("Ungültige Kanalnummer");
    case VLNK_OPEN_PORT_FAILED: return QStringLiteral("Schnittstelle konnte nicht geöffnet werden");
    case VLNK_CLOSE_PORT_FAILED: return QStringLiteral("Schnittstelle konnte nicht geschlossen werden");
    case VLNK_ENABLE_NOTIFY_FAILED:
    case VLNK_DISABLE_NOTIFY_FAILED: return QStringLiteral("Überwachung der Schnittstelle nicht möglich");
    case VLNK_SETUP_FAILED: return QStringLiteral("Schnittstelle konnte nicht eingestellt werden");
    case VLNK_CHANNEL_BUSY: return QStringLiteral("Der Kanal führt bereits einen Befehl aus");
    case VLNK_CHANNEL_IDLE: return QStringLiteral("Der Kanal führt keinen Befehl aus");
    case VLNK_REMOTE_TIMEOUT: return QStringLiteral("Die Logato hat nicht rechtzeitig geantwortet");
    case VLNK_NO_RESPONSE: return QStringLiteral("Keine Antwort von der Logato");
    case VLNK_WAITING: return QStringLiteral("Wartet auf Antwort");
    case VLNK_WINDOW_FAILED: return QStringLiteral("Interner Fehler der Übertragung");
    case VLNK_SEND_FAILED: return QStringLiteral("Senden an die Schnittstelle fehlgeschlagen");
    case VLNK_RECEIVE_FAILED: return QStringLiteral("Fehler beim Empfangen der Datei");
    case VLNK_COMMS_ERROR: return QStringLiteral("Fehler an der Schnittstelle");
    case VLNK_BAD_BAUD: return QStringLiteral("Ungültige Baudrate");
    case VLNK_SET_DRIVE_FAILED: return QStringLiteral("Laufwerk konnte nicht gewählt werden");
    case VLNK_NO_DIRECTORY: return QStringLiteral("Verzeichnis nicht gefunden");
    case VLNK_SET_DATE_FAILED: return QStringLiteral("Datum konnte nicht gesetzt werden");
    case VLNK_SET_TIME_FAILED: return QStringLiteral("Uhrzeit konnte nicht gesetzt werden");
    case VLNK_BAD_FILENAME: return QStringLiteral("Ungültiger Dateiname");
    case VLNK_FILE_NOT_FOUND: return QStringLiteral("Datei nicht gefunden");
    case VLNK_FILE_OPEN_FAILED: return QStringLiteral("Datei konnte nicht geöffnet werden");
    case VLNK_HANDHELD_FULL:
        return QStringLiteral("Auf der Logato ist kein Platz mehr oder die Datei ist schreibgeschützt");
    case VLNK_PC_FULL: return QStringLiteral("Auf dem PC ist kein Platz mehr");
    case VLNK_PC_NO_RIGHTS: return QStringLiteral("Keine Berechtigung, die Datei auf dem PC zu überschreiben");
    case VLNK_USER_STOPPED: return QStringLiteral("Übertragung abgebrochen");
    case VLNK_BAD_MACHINE: return QStringLiteral("Ungültiger Gerätetyp");
    case VLNK_NO_DOWNLOAD_FILE: return QStringLiteral("Programmdatei nicht gefunden");
    case VLNK_WRONG_THREAD: return QStringLiteral("Aufruf aus einem anderen Thread des Programms");
    default: break;
    }
    return QStringLiteral("Fehler %1").arg(code);
}
