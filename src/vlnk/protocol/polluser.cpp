// SPDX-License-Identifier: LGPL-2.1-or-later
// PollUser (command 17): scans COM1..MaxPorts for the handheld configured with
// a user number. Each port that opens gets a wake-up (ENQ and "Q" at 38400 and
// 19200 baud, CR at 2400), then "<user>HELLO<user>" at 2400 baud; the handheld
// answers "<user>READY<user>" with its battery and free-space figures.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frame.h"
#include "linkcommands.h"
#include "logfile.h"
#include "msgwindow.h"
#include "settings.h"
#include "vlnkw32.h"

namespace vlnk {
namespace {

char* Line(LinkState& link) { return reinterpret_cast<char*>(link.m_RxBuf.data()); }

// IgnorePorts lists port numbers as text; a number counts as listed where it
// occurs without a digit right after it, so "12" names 12 and 2 but not 1.
bool Ignored(const std::string& ignore, int port)
{
    const std::string number = std::to_string(port);
    for (size_t at = ignore.find(number); at != std::string::npos; at = ignore.find(number, at + 1)) {
        const size_t after = at + number.size();
        if (after >= ignore.size() || !std::isdigit(static_cast<unsigned char>(ignore[after]))) return true;
    }
    return false;
}

void WakeUp(LinkState& link, const std::string& name)
{
    CPort& port = link.m_Port;
    BuildFrame(link, 'Q', nullptr, 0);
    for (const char* baud : {"38400", "19200"}) {
        port.Setup(name, baud);
        port.SendChar(ENQ);
        WaitPumping(50);
        port.SendString(link.m_TxBuf.data(), link.m_nTxLength);
        WaitPumping(100);
        port.FlushReceive();
    }
    port.Setup(name, "2400");
    port.SendChar(CR);
    port.FlushReceive();
}

// Tries the ports after the last one; 213 while one is asked, 212 when none is left.
int NextPort(LinkState& link)
{
    CPort& port = link.m_Port;
    for (;;) {
        if (++link.m_nPortCounter > link.m_Settings.MaxPorts) {
            link.m_bDone = true;
            link.m_strPort.clear();
            return VLNK_NO_RESPONSE;
        }
        if (Ignored(link.m_Settings.IgnorePorts, link.m_nPortCounter)) continue;
        const std::string name = "COM" + std::to_string(link.m_nPortCounter);
        if (port.OpenPort(name) != 0) continue;
        WakeUp(link, name);
        port.Setup(name, "2400");
        char hello[48];
        const int n = std::snprintf(hello, sizeof hello, "%dHELLO%d\r\n", link.m_nUser, link.m_nUser);
        port.FlushReceive();
        port.SendString(reinterpret_cast<const uint8_t*>(hello), static_cast<size_t>(n));
        port.ArmNotify(1, -1);
        link.StartTimer(link.m_Settings.PollTimeout);
        return VLNK_WAITING;
    }
}

void OnAnswer(LinkState& link)
{
    CPort& port = link.m_Port;
    WaitPumping(500);
    std::memset(Line(link), 0, link.m_RxBuf.size());
    port.ReadLine(Line(link), CPort::kLineBuffer);
    port.FlushReceive();
    char ready[48];
    const int n = std::snprintf(ready, sizeof ready, "%dREADY%d", link.m_nUser, link.m_nUser);
    if (std::strncmp(Line(link), ready, static_cast<size_t>(n)) == 0) {
        link.m_strPort = "COM" + std::to_string(link.m_nPortCounter);
        link.m_bOpenForLink = true;
        link.m_bDone = true;
        return;
    }
    port.ClosePort();
    NextPort(link);
}

int PollUserStep(LinkState& link, StepEvent event, int* value, char* text)
{
    switch (event) {
    case StepEvent::Start: return VLNK_WAITING;
    case StepEvent::CommsEvent:
        if (!link.m_bDone) OnAnswer(link);
        return 0;
    case StepEvent::TimerEvent:
        if (link.m_bDone) return 0;
        link.m_Port.ClosePort();
        NextPort(link);
        return 0;
    case StepEvent::Poll: break;
    }
    if (!link.m_bDone) return VLNK_WAITING;
    link.EndCommand();
    const int ch = link.m_nChannel;
    if (link.m_strPort.empty()) {
        LogWrite(ch, "Polling could not find user '%d'", link.m_nUser);
        return VLNK_NO_RESPONSE;
    }
    const char* line = Line(link);
    const char* percent = std::strchr(line, '%');
    int battery = -1;
    std::string space;
    if (percent) {
        const char* start = percent - line >= 3 ? percent - 3 : line;
        battery = static_cast<int>(std::strtol(start, nullptr, 10));
        const char* free = std::strlen(percent) >= 2 ? percent + 2 : percent + std::strlen(percent);
        while (*free == ' ') ++free;
        space = free;
    }
    if (value) *value = battery;
    if (text) std::snprintf(text, VLNK_TEXT_SIZE, "%s", space.c_str());
    LogWrite(ch, "Found user '%d' on COM%d (%d%%, %sk)", link.m_nUser, link.m_nPortCounter, battery, space.c_str());
    WaitPumping(4000, link.m_Port);
    return 0;
}

} // namespace

int StartPollUser(LinkState& link, int user)
{
    link.m_nUser = user;
    ReadProtocolSettings(link.m_nChannel, link.m_Settings);
    link.m_nRetryLimit = static_cast<int>(link.m_Settings.MaxRetries);
    LogWrite(link.m_nChannel, "Starting to look for user '%d'", user);
    link.m_nPortCounter = 0;
    link.m_strPort.clear();
    link.m_bOpenForLink = false;
    link.BeginCommand(kPollUser, PollUserStep);
    link.m_bDone = false;
    const int result = NextPort(link);
    if (result != VLNK_WAITING) {
        link.EndCommand();
        LogWrite(link.m_nChannel, "Polling could not find user '%d'", user);
    }
    return result;
}

} // namespace vlnk
