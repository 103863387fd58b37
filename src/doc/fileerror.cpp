// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileerror.h"

#include <cerrno>
#include <cstring>

namespace tresdoc {

namespace {

std::string Cut(std::string text)
{
    if (text.size() <= 255) return text;
    size_t n = 255;
    // never cut a UTF-8 sequence in half
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    text.resize(n);
    return text;
}

} // namespace

std::string FileErrorReason(int err)
{
    switch (err) {
    case ENOENT: return "Die Datei oder der Ordner wurde nicht gefunden";
    case EACCES:
    case EPERM: return "Zugriff verweigert";
    case EISDIR: return "Der Name bezeichnet einen Ordner";
    case ENOTDIR: return "Ein Teil des Pfades ist kein Ordner";
    case ENOSPC: return "Auf dem Datenträger ist nicht genügend Speicherplatz frei";
    case EDQUOT: return "Das Speicherkontingent ist erschöpft";
    case EROFS: return "Der Datenträger ist schreibgeschützt";
    case EMFILE:
    case ENFILE: return "Zu viele geöffnete Dateien";
    case ENAMETOOLONG: return "Der Dateiname ist zu lang";
    case EIO: return "Ein-/Ausgabefehler auf dem Datenträger";
    case EBUSY:
    case ETXTBSY: return "Die Datei wird von einem anderen Programm verwendet";
    case ENOMEM: return "Nicht genügend Arbeitsspeicher";
    case EEXIST: return "Die Datei ist bereits vorhanden";
    case ELOOP: return "Zu viele symbolische Verknüpfungen im Pfad";
    case EFBIG: return "Die Datei ist zu groß";
    default: break;
    }
    return std::string("Systemfehler ") + std::to_string(err) + " (" + std::strerror(err) + ")";
}

std::string OpenErrorText(const std::string& path, int err)
{
    return Cut("Die Datei " + path + " konnte nicht geöffnet werden: " + FileErrorReason(err) + ".");
}

std::string ReadErrorText(const std::string& path, int err)
{
    return Cut("Beim Lesen der Datei " + path + " ist ein Fehler aufgetreten: " + FileErrorReason(err) + ".");
}

std::string WriteErrorText(const std::string& path, int err)
{
    return Cut("Die Datei " + path + " konnte nicht gespeichert werden: " + FileErrorReason(err)
               + ". Die bisherige Datei ist unverändert.");
}

std::string TooLargeText(const std::string& path, unsigned long long size)
{
    return Cut("Die Datei " + path + " ist mit " + std::to_string(size)
               + " Bytes zu groß für eine Messdatei (höchstens 256 MB). Sie wurde nicht geöffnet.");
}

std::string NoDataSectionText(const std::string& path)
{
    return Cut("Die Datei " + path + " enthält keinen Abschnitt [Messdaten] und ist keine Messdatei.");
}

std::string NoDataText(const std::string& path) { return Cut("Die Datei " + path + " enthält keine Messdaten."); }

std::string QmNotWritableText(const std::string& path)
{
    return Cut("Die Datei " + path
               + " konnte nicht gespeichert werden: Die QM-Daten enthalten Zeichen, "
                 "die sich in der QM-Zeile nicht lesbar speichern lassen. Die bisherige Datei ist unverändert.");
}

std::string StandardOutputErrorText(int err)
{
    return Cut("Die Messdatei konnte nicht auf die Standardausgabe geschrieben werden: " + FileErrorReason(err) + ".");
}

} // namespace tresdoc
