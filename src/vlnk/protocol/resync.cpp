// SPDX-License-Identifier: LGPL-2.1-or-later
#include "resync.h"

#include <chrono>

#include "frame.h"
#include "logfile.h"
#include "msgwindow.h"

namespace vlnk {
namespace {

using Clock = std::chrono::steady_clock;

// A handheld that keeps sending does not get a quiet line; the drain gives up
// after this many inter-frame times and the command's retries decide.
constexpr int kDrainTurns = 8;

// Throws input away until none has come for `quietMs`; false when the line
// never went quiet.
bool DrainUntilQuiet(LinkState& link, unsigned quietMs)
{
    CPort& port = link.m_Port;
    const auto quiet = std::chrono::milliseconds(quietMs);
    const auto limit = Clock::now() + kDrainTurns * quiet;
    auto lastByte = Clock::now();
    for (;;) {
        const auto now = Clock::now();
        if (port.Lost()) return false;
        if (port.GetNumInRxBuffer() > 0) {
            port.FlushReceive();
            lastByte = now;
        } else if (now - lastByte >= quiet) {
            return true;
        }
        if (now >= limit) return false;
        WaitPumping(10);
    }
}

// The first byte that comes within `ms`; 0 when none does.
uint8_t AwaitByte(LinkState& link, unsigned ms)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (link.m_Port.GetNumInRxBuffer() == 0) {
        if (Clock::now() >= deadline || link.m_Port.Lost()) return 0;
        WaitPumping(5);
    }
    uint8_t byte = 0;
    link.m_Port.GetChar(byte);
    return byte;
}

void SendFrame(LinkState& link, const uint8_t* data, size_t count)
{
    BuildFrame(link, 0, data, count);
    link.m_Port.SendString(link.m_TxBuf.data(), link.m_nTxLength);
}

// The protocol's own ending of the transfer the handheld may still be in.
void EndHandheldTransfer(LinkState& link)
{
    const unsigned quiet = link.m_Settings.RetryTimeout;
    switch (link.m_eHandheld) {
    case LinkState::Handheld::Sending: {
        const uint8_t failed = 0xFF;
        SendFrame(link, &failed, 1);
        DrainUntilQuiet(link, quiet);
        break;
    }
    case LinkState::Handheld::Receiving:
        SendFrame(link, nullptr, 0);
        DrainUntilQuiet(link, quiet);
        link.m_Port.SendChar(EOT);
        DrainUntilQuiet(link, quiet);
        break;
    case LinkState::Handheld::InStep: break;
    }
    link.m_eHandheld = LinkState::Handheld::InStep;
}

} // namespace

bool ReestablishLink(LinkState& link)
{
    const int ch = link.m_nChannel;
    const unsigned quiet = link.m_Settings.RetryTimeout;
    LogWrite(ch, "Re-establishing the link after a failed command");
    DrainUntilQuiet(link, quiet);
    EndHandheldTransfer(link);
    for (int attempt = 0; attempt <= link.m_nRetryLimit; ++attempt) {
        link.m_Port.SendChar(ENQ);
        const uint8_t answer = AwaitByte(link, link.m_Settings.ConnectTimeout);
        if (answer == ACK || answer == IR_ANSWER) {
            link.m_bResync = false;
            LogWrite(ch, "Link re-established");
            return true;
        }
        DrainUntilQuiet(link, quiet);
    }
    LogWrite(ch, "VLNKWDLL:ERROR:Handheld did not answer ENQ after the failed command");
    return false;
}

} // namespace vlnk
