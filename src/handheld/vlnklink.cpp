// SPDX-License-Identifier: GPL-3.0-or-later
#include "vlnklink.h"

#include "vlnkw32.h"

#include <algorithm>
#include <cstring>

namespace treshandheld {

namespace {

CStep StepOf(int result)
{
    if (result == 0) return {EState::Done, 0};
    if (result == VLNK_WAITING) return {EState::Waiting, result};
    return {EState::Failed, result};
}

class CVlnkLink : public CHandheld {
public:
    std::string Version() override
    {
        char version[VLNK_TEXT_SIZE] = {};
        VLNKGetVersion(version);
        return std::string(version, strnlen(version, sizeof version));
    }
    std::string SurveyFolder() const override { return "\\TRE\\DATEN"; }
    std::string SurveyPattern() const override { return "*.TSD"; }
    std::string SurveyPlace() const override { return "C:\\Tre\\Daten\\*.tsd"; }
    bool TakeChannel() override
    {
        m_nChannel = 0;
        return VLNKGetFreeChannel(&m_nChannel) == 0;
    }
    int Channel() const override { return m_nChannel; }
    bool OpenPort(const std::string& port) override { return VLNKOpenChannel(m_nChannel, port.c_str()) == 0; }
    void ClosePort() override { VLNKCloseChannel(m_nChannel); }
    void Release() override { m_nChannel = 0; }

    CStep CheckConnect() override { return StepOf(VLNKCheckConnect(m_nChannel, 0)); }
    CStep SetDirectory(const std::string& dir) override { return StepOf(VLNKSetDirectory(m_nChannel, dir.c_str())); }
    CStep FreeSpace() override { return StepOf(VLNKGetFreeSpace(m_nChannel, 3)); }
    // Twice: this receive reads twice; else vlnkw.ini decides.
    void SetVerifyReceive(bool twice) override { VLNKSetVerifyReceive(m_nChannel, twice ? 1 : -1); }
    CStep Receive(const std::string& name) override { return StepOf(VLNKReceiveFile(m_nChannel, name.c_str())); }
    CStep Delete(const std::string& name) override { return StepOf(VLNKDeleteFile(m_nChannel, name.c_str())); }
    CStep ListFiles(const std::string& pattern) override
    {
        return StepOf(VLNKGetDirectory(m_nChannel, pattern.c_str()));
    }
    CStep NextEntry(CDirEntry& entry) override
    {
        int number = 0;
        char text[VLNK_TEXT_SIZE] = {};
        const CStep step = StepOf(VLNKGetResult(m_nChannel, &number, text));
        if (step.Done()) entry = EntryOfLine(std::string_view(text, strnlen(text, sizeof text)));
        return step;
    }
    bool Cancel() override { return VLNKCancel(m_nChannel) == 0; }
    CStep Poll(int* number, std::string* text) override
    {
        if (!text) return StepOf(VLNKGetResult(m_nChannel, number, nullptr));
        // The library writes the text only on some polls: what stood stays.
        char buf[VLNK_TEXT_SIZE] = {};
        std::copy_n(text->data(), std::min(text->size(), sizeof buf - 1), buf);
        const CStep step = StepOf(VLNKGetResult(m_nChannel, number, buf));
        text->assign(buf, strnlen(buf, sizeof buf));
        return step;
    }
    std::string FailureText(int code) const override;

private:
    int m_nChannel = 0;
};

std::string CVlnkLink::FailureText(int code) const
{
    switch (code) {
    case 0: return "Erfolgreich";
    case VLNK_CHANNEL_IN_USE: return "Kanal bereits belegt";
    case VLNK_CHANNEL_NOT_OPEN: return "Kanal nicht geöffnet";
    case VLNK_BAD_CHANNEL: return "Ungültige Kanalnummer";
    case VLNK_OPEN_PORT_FAILED: return "Schnittstelle konnte nicht geöffnet werden";
    case VLNK_CLOSE_PORT_FAILED: return "Schnittstelle konnte nicht geschlossen werden";
    case VLNK_ENABLE_NOTIFY_FAILED:
    case VLNK_DISABLE_NOTIFY_FAILED: return "Überwachung der Schnittstelle nicht möglich";
    case VLNK_SETUP_FAILED: return "Schnittstelle konnte nicht eingestellt werden";
    case VLNK_CHANNEL_BUSY: return "Der Kanal führt bereits einen Befehl aus";
    case VLNK_CHANNEL_IDLE: return "Der Kanal führt keinen Befehl aus";
    case VLNK_REMOTE_TIMEOUT: return "Die Logato hat nicht rechtzeitig geantwortet";
    case VLNK_NO_RESPONSE: return "Keine Antwort von der Logato";
    case VLNK_WAITING: return "Wartet auf Antwort";
    case VLNK_WINDOW_FAILED: return "Interner Fehler der Übertragung";
    case VLNK_SEND_FAILED: return "Senden an die Schnittstelle fehlgeschlagen";
    case VLNK_RECEIVE_FAILED: return "Fehler beim Empfangen der Datei";
    case VLNK_COMMS_ERROR: return "Fehler an der Schnittstelle";
    case VLNK_BAD_BAUD: return "Ungültige Baudrate";
    case VLNK_SET_DRIVE_FAILED: return "Laufwerk konnte nicht gewählt werden";
    case VLNK_NO_DIRECTORY: return "Verzeichnis nicht gefunden";
    case VLNK_SET_DATE_FAILED: return "Datum konnte nicht gesetzt werden";
    case VLNK_SET_TIME_FAILED: return "Uhrzeit konnte nicht gesetzt werden";
    case VLNK_BAD_FILENAME: return "Ungültiger Dateiname";
    case VLNK_FILE_NOT_FOUND: return "Datei nicht gefunden";
    case VLNK_FILE_OPEN_FAILED: return "Datei konnte nicht geöffnet werden";
    case VLNK_HANDHELD_FULL: return "Auf der Logato ist kein Platz mehr oder die Datei ist schreibgeschützt";
    case VLNK_PC_FULL: return "Auf dem PC ist kein Platz mehr";
    case VLNK_PC_NO_RIGHTS: return "Keine Berechtigung, die Datei auf dem PC zu überschreiben";
    case VLNK_USER_STOPPED: return "Übertragung abgebrochen";
    case VLNK_BAD_MACHINE: return "Ungültiger Gerätetyp";
    case VLNK_NO_DOWNLOAD_FILE: return "Programmdatei nicht gefunden";
    case VLNK_WRONG_THREAD: return "Aufruf aus einem anderen Thread des Programms";
    default: break;
    }
    return "Fehler " + std::to_string(code);
}

} // namespace

std::unique_ptr<CHandheld> MakeVlnkLink() { return std::make_unique<CVlnkLink>(); }

} // namespace treshandheld
