// SPDX-License-Identifier: LGPL-2.1-or-later
// The two commands the handheld answers with a bare ACK instead of a reply
// frame: set baud rate ("B") and quit the handheld's transfer program ("Q").
#include <cstring>

#include "ctrlcommand.h"
#include "frame.h"
#include "linkcommands.h"
#include "logfile.h"
#include "settings.h"
#include "vlnkw32.h"

namespace vlnk {
namespace {

constexpr const char* kRates[] = {"1200", "2400", "4800", "9600", "19200", "38400"};

void SendRequest(LinkState& link)
{
    link.m_Port.FlushReceive();
    link.m_Port.SendString(link.m_TxBuf.data(), link.m_nTxLength);
    link.m_Port.ArmNotify(1, -1);
    link.StartTimer(link.m_Settings.StartBlockTimeout);
}

void Retry(LinkState& link)
{
    link.m_Port.FlushReceive();
    if (++link.m_nRetryCount > link.m_nRetryLimit) {
        LogWrite(link.m_nChannel, "VLNKWDLL:ERROR:Maximum retries exceeded (action=%d)", link.m_nPhase);
        link.m_bFailed = link.m_bDone = true;
        if (link.m_nCommandId == kSetBaudRate) link.LoadRememberedBaud();
        return;
    }
    SendRequest(link);
}

void OnAck(LinkState& link)
{
    if (link.m_nCommandId == kSetBaudRate) {
        WriteRememberedBaud(link.m_nChannel, link.m_strPort, link.m_strBaud);
        link.SetupLine();
        LogWrite(link.m_nChannel, "Set new baud rate to %s", link.m_strBaud.c_str());
    } else {
        LogWrite(link.m_nChannel, "Aborted the remote from the handheld software");
    }
    link.m_bDone = true;
}

int AckStep(LinkState& link, StepEvent event, int* /*value*/, char* /*text*/)
{
    switch (event) {
    case StepEvent::CommsEvent:
        if (link.m_bDone) return 0;
        if (const std::optional<bool> ack = TakeDirectAnswer(link)) {
            if (*ack) OnAck(link);
            else Retry(link);
        }
        return 0;
    case StepEvent::TimerEvent:
        if (!link.m_bDone) Retry(link);
        return 0;
    case StepEvent::Start: return VLNK_WAITING;
    case StepEvent::Poll: break;
    }
    if (!link.m_bDone) return VLNK_WAITING;
    link.EndCommand();
    return link.m_bFailed ? VLNK_REMOTE_TIMEOUT : 0;
}

int Begin(LinkState& link, int id)
{
    link.m_nPhase = 0;
    link.m_bDone = link.m_bFailed = link.m_bCommsError = false;
    link.m_nRetryCount = 0;
    link.BeginCommand(id, AckStep);
    SendRequest(link);
    return VLNK_WAITING;
}

} // namespace

int StartSetBaudRate(LinkState& link, const char* baud)
{
    link.LoadRememberedBaud();
    link.SetupLine();
    const std::string text = baud ? baud : "";
    int index = -1;
    for (int i = 0; i < 6; ++i)
        if (text == kRates[i]) index = i;
    if (index < 0) {
        LogWrite(link.m_nChannel, "VLNKWDLL:ERROR:SetBaud:Could not set to %.40s", text.c_str());
        return VLNK_BAD_BAUD;
    }
    const uint8_t data = static_cast<uint8_t>(index);
    BuildFrame(link, 'B', &data, 1);
    link.m_strBaud = text;
    return Begin(link, kSetBaudRate);
}

int StartAbortRemote(LinkState& link)
{
    link.LoadRememberedBaud();
    link.SetupLine();
    BuildFrame(link, 'Q', nullptr, 0);
    return Begin(link, kAbortRemote);
}

} // namespace vlnk
