// SPDX-License-Identifier: LGPL-2.1-or-later
// The connect probe: ENQ until the handheld answers ACK (cable) or "I"
// (infrared), first at the port's remembered rate and then down the port's baud
// table. The stage is BaudSearchIndex: 0 the remembered rate, 1..6 the table.
#include <cstring>

#include "frame.h"
#include "linkcommands.h"
#include "logfile.h"
#include "msgwindow.h"
#include "settings.h"
#include "vlnkw32.h"

namespace vlnk {
namespace {

constexpr int kLastSearchIndex = CPort::kBaudCount;

int ConnectStep(LinkState& link, StepEvent event, int* value, char* text);

int ProbeAtCurrentRate(LinkState& link)
{
    const bool comName = !link.m_strPort.empty() && (link.m_strPort[0] == 'C' || link.m_strPort[0] == 'c');
    if (comName && link.m_nBaudSearchIndex == 0) link.LoadRememberedBaud();
    link.BeginCommand(kCheckConnect, ConnectStep);
    link.SetupLine();
    link.m_Port.FlushReceive();
    WaitPumping(250);
    link.m_Port.ClearGarbage("CheckConnect", true);
    link.m_Port.SendChar(ENQ);
    link.m_Port.ArmNotify(1, -1);
    link.StartTimer(link.m_Settings.ConnectTimeout);
    link.m_bDone = link.m_bFailed = link.m_bCommsError = false;
    return VLNK_WAITING;
}

int ConnectStep(LinkState& link, StepEvent event, int* /*value*/, char* text)
{
    CPort& port = link.m_Port;
    switch (event) {
    case StepEvent::Start: return ProbeAtCurrentRate(link);
    case StepEvent::CommsEvent: {
        if (link.m_bDone) return 0;
        if (port.GetNumInRxBuffer() == 0) { // a notification that outlived its bytes
            port.ArmNotify(1, -1);
            link.StartTimer(link.m_Settings.ConnectTimeout);
            return 0;
        }
        uint8_t answer = 0;
        port.GetChar(answer);
        port.FlushReceive();
        link.m_bDone = true;
        port.IrMode = answer == IR_ANSWER ? 1 : 0;
        link.m_bCommsError = answer != ACK && answer != IR_ANSWER;
        link.ChooseRetryLimit();
        return 0;
    }
    case StepEvent::TimerEvent: link.m_bDone = link.m_bFailed = true; return 0;
    case StepEvent::Poll: break;
    }
    if (!link.m_bDone) return VLNK_WAITING;
    link.EndCommand();
    const int ch = link.m_nChannel;
    if (link.m_bFailed) {
        if (++link.m_nBaudSearchIndex > kLastSearchIndex) {
            link.m_nBaudSearchIndex = 0;
            LogWrite(ch, "VLNKWDLL:ERROR:Could not connect to remote on %s", link.m_strPort.c_str());
            return VLNK_REMOTE_TIMEOUT;
        }
        link.m_strBaud = CPort::BaudName(link.m_nBaudSearchIndex - 1);
        return ProbeAtCurrentRate(link);
    }
    if (link.m_bCommsError) {
        LogWrite(ch, "VLNKWDLL:ERROR:Got comms error on %s", link.m_strPort.c_str());
        return VLNK_NO_RESPONSE;
    }
    link.m_nBaudSearchIndex = 0;
    WriteRememberedBaud(ch, link.m_strPort, link.m_strBaud);
    LogWrite(ch, "Connected to remote on %s @ %s", link.m_strPort.c_str(), link.m_strBaud.c_str());
    if (text) {
        std::strncpy(text, link.m_strBaud.c_str(), VLNK_TEXT_SIZE - 1);
        text[VLNK_TEXT_SIZE - 1] = '\0';
    }
    return 0;
}

} // namespace

int StartCheckConnect(LinkState& link) { return ProbeAtCurrentRate(link); }

int QuickConnect(LinkState& link)
{
    CPort& port = link.m_Port;
    uint8_t answer = 0;
    for (int n = port.IrMode ? 10 : 0; n >= 0; --n) {
        // An infrared adapter wakes up on traffic; the ACK also ends whatever the
        // handheld still waits for.
        if (n % 2 == 0) port.SendChar(ACK);
        port.FlushReceive();
        port.SendChar(ENQ);
        WaitPumping(500);
        if (port.GetNumInRxBuffer() > 0) port.GetChar(answer);
        if (answer == ACK || answer == IR_ANSWER) break;
        if (n > 0 && n < 10) WaitPumping(2000);
    }
    port.IrMode = answer == IR_ANSWER ? 1 : 0;
    link.ChooseRetryLimit();
    return answer == ACK || answer == IR_ANSWER ? 0 : VLNK_NO_RESPONSE;
}

} // namespace vlnk
