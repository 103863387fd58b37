// SPDX-License-Identifier: LGPL-2.1-or-later
#include "ctrlcommand.h"

#include <cstring>

#include "frame.h"
#include "logfile.h"
#include "msgwindow.h"
#include "vlnkw32.h"

namespace vlnk {
namespace {

enum class ExchangePhase : int { Idle = 0, WaitAck = 1, WaitStx = 2, WaitLength = 3, WaitPayload = 4 };

bool g_bGarbageSeen = false;

ExchangePhase Phase(const LinkState& link) { return static_cast<ExchangePhase>(link.m_nPhase); }
void SetPhase(LinkState& link, ExchangePhase phase) { link.m_nPhase = static_cast<int>(phase); }

size_t Queued(LinkState& link) { return static_cast<size_t>(link.m_Port.GetNumInRxBuffer()); }

void WaitFor(LinkState& link, unsigned timeoutMs, size_t bytes)
{
    link.StartTimer(timeoutMs);
    link.m_Port.ArmNotify(static_cast<int>(bytes), -1);
}

enum class Ask { Again, Nak };

// The first send and every resend. Asking again repeats the request while no
// ACK came; once the handheld has acknowledged it only its reply is asked for.
void Send(LinkState& link, bool isStart, Ask ask = Ask::Again)
{
    link.m_Port.FlushReceive();
    if (!isStart) {
        if (++link.m_nRetryCount > link.m_nRetryLimit) {
            LogWrite(link.m_nChannel, "VLNKWDLL:ERROR:Maximum retries exceeded (action=%d)", link.m_nPhase);
            link.m_bFailed = link.m_bDone = true;
            return;
        }
    }
    if (Phase(link) == ExchangePhase::WaitAck && ask == Ask::Again) {
        link.m_Port.SendString(link.m_TxBuf.data(), link.m_nTxLength);
    } else {
        SetPhase(link, ExchangePhase::WaitStx);
        link.m_Port.SendChar(NAK);
    }
    WaitFor(link, link.m_Settings.StartBlockTimeout, 1);
}

void OnBytes(LinkState& link)
{
    CPort& port = link.m_Port;
    const ProtocolSettings& s = link.m_Settings;
    for (;;) {
        switch (Phase(link)) {
        case ExchangePhase::WaitAck: {
            if (Queued(link) == 0) return WaitFor(link, s.StartBlockTimeout, 1);
            uint8_t byte = 0;
            port.GetChar(byte);
            if (byte == ACK) {
                SetPhase(link, ExchangePhase::WaitStx);
                g_bGarbageSeen = false;
                if (Queued(link) == 0) return WaitFor(link, s.StartBlockTimeout, 1);
                continue;
            }
            WaitPumping(250);
            if (byte == STX) {
                const size_t queued = Queued(link);
                if (!port.IrMode || (g_bGarbageSeen && (queued > 6 || queued == 3))) {
                    SetPhase(link, ExchangePhase::WaitStx);
                    continue;
                }
                // Over infrared the PC hears its own request.
                port.ClearGarbage(port.Name().c_str(), true);
                port.SendChar(ACK);
                return Send(link, false);
            }
            port.ClearGarbage(port.Name().c_str(), true);
            if (byte == NAK) return Send(link, false);
            g_bGarbageSeen = true;
            return Send(link, false, Ask::Nak);
        }
        case ExchangePhase::WaitStx: {
            if (Queued(link) == 0) return WaitFor(link, s.StartBlockTimeout, 1);
            uint8_t byte = 0;
            port.GetChar(byte);
            if (byte != STX) {
                WaitPumping(500, port);
                return WaitFor(link, s.StartBlockTimeout, 1);
            }
            link.m_RxBuf.fill(0);
            link.m_RxBuf[0] = STX;
            SetPhase(link, ExchangePhase::WaitLength);
            if (Queued(link) < 2) return WaitFor(link, s.StartBlockTimeout, 2);
            continue;
        }
        case ExchangePhase::WaitLength: {
            if (Queued(link) < 2) return WaitFor(link, s.RetryTimeout, 2);
            if (port.GetString(link.m_RxBuf.data() + 1, 2) != 0) return Send(link, false);
            const size_t length = link.m_RxBuf[1] | (static_cast<size_t>(link.m_RxBuf[2]) << 8);
            if (length > kReplyPayloadMax) {
                LogWrite(link.m_nChannel, "VLNKWDLL:WARNING:Reply of %zu bytes refused", length);
                WaitPumping(500, port);
                return Send(link, false);
            }
            link.m_nRxLength = length;
            SetPhase(link, ExchangePhase::WaitPayload);
            if (Queued(link) <= length) return WaitFor(link, s.RetryTimeout, length + 1);
            continue;
        }
        case ExchangePhase::WaitPayload: {
            const size_t length = link.m_nRxLength;
            if (Queued(link) < length + 1) return WaitFor(link, s.RetryTimeout, length + 1);
            uint8_t* payload = link.m_RxBuf.data() + 3;
            if (port.GetString(payload, length + 1) != 0 || Checksum8(payload, length) != payload[length])
                return Send(link, false);
            if (length < link.m_nReplyMin || length > link.m_nReplyMax) {
                LogWrite(link.m_nChannel, "VLNKWDLL:WARNING:Reply of %zu bytes does not fit (%zu to %zu expected)",
                         length, link.m_nReplyMin, link.m_nReplyMax);
                return Send(link, false, Ask::Nak);
            }
            port.SendChar(link.m_bSendEot ? EOT : ACK);
            link.m_bSendEot = false;
            link.m_bDone = true;
            SetPhase(link, ExchangePhase::Idle);
            return;
        }
        default:
            LogWrite(link.m_nChannel, "VLNKWDLL:ERROR:Got comms_event[%d] for unknown command [%d]", link.m_nCommandId,
                     link.m_nPhase);
            return;
        }
    }
}

} // namespace

int CtrlCommand(LinkState& link, StepEvent event, char* reply)
{
    switch (event) {
    case StepEvent::Start:
        SetPhase(link, ExchangePhase::WaitAck);
        link.m_bDone = link.m_bFailed = link.m_bCommsError = false;
        link.m_nRetryCount = 0;
        link.m_nRxLength = 0;
        link.m_nReplyMin = kAnyReply.min;
        link.m_nReplyMax = kAnyReply.max;
        Send(link, true);
        return VLNK_WAITING;
    case StepEvent::CommsEvent:
        if (!link.m_bDone) OnBytes(link);
        return 0;
    case StepEvent::TimerEvent:
        if (!link.m_bDone) Send(link, false);
        return 0;
    case StepEvent::Poll: break;
    }
    if (!link.m_bDone) return VLNK_WAITING;
    if (!link.IsBusy()) {
        LogWrite(link.m_nChannel, "VLNKWDLL:ERROR:Channel not active");
        return VLNK_CHANNEL_IDLE;
    }
    if (link.m_bFailed) return VLNK_REMOTE_TIMEOUT;
    if (reply) {
        const size_t length = link.m_nRxLength;
        std::memset(reply, 0, length + 1);
        std::memcpy(reply, link.m_RxBuf.data() + 3, length);
    }
    return 0;
}

const uint8_t* ReplyPayload(const LinkState& link) { return link.m_RxBuf.data() + 3; }
size_t ReplyLength(const LinkState& link) { return link.m_nRxLength; }

int CtrlRequest(LinkState& link, ReplySize size)
{
    const int result = CtrlCommand(link, StepEvent::Start);
    link.m_nReplyMin = size.min;
    link.m_nReplyMax = size.max;
    return result;
}

void CtrlAwaitNextFrame(LinkState& link, unsigned timeoutMs, bool repeat)
{
    SetPhase(link, ExchangePhase::WaitStx);
    link.m_bDone = link.m_bFailed = link.m_bCommsError = false;
    if (!repeat) {
        link.m_nRetryCount = 0;
    } else if (++link.m_nRetryCount > link.m_nRetryLimit) {
        LogWrite(link.m_nChannel, "VLNKWDLL:ERROR:Maximum retries exceeded (the same frame again)");
        link.m_bFailed = link.m_bDone = true;
        return;
    }
    WaitFor(link, timeoutMs, 1);
}

void SendDirect(LinkState& link)
{
    // Armed after the send: the send first throws away whatever input is queued.
    link.m_Port.SendString(link.m_TxBuf.data(), link.m_nTxLength);
    link.m_Port.ArmNotify(1, -1);
    link.StartTimer(link.m_Settings.StartBlockTimeout);
}

std::optional<bool> TakeDirectAnswer(LinkState& link)
{
    if (link.m_Port.GetNumInRxBuffer() == 0) {
        link.m_Port.ArmNotify(1, -1);
        link.StartTimer(link.m_Settings.StartBlockTimeout);
        return std::nullopt;
    }
    uint8_t byte = 0;
    link.m_Port.GetChar(byte);
    return byte == ACK;
}

bool GarbageSeen() { return g_bGarbageSeen; }

} // namespace vlnk
